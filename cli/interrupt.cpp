#include "cli/interrupt.h"

#include <signal.h>
#include <unistd.h>

#include <cstdio>

#include "services/crash_guard.h"

namespace velmora::cli {
namespace {

volatile sig_atomic_t stepwise = 0;
volatile sig_atomic_t interrupted = 0;  // the signal that asked the run to stop

constexpr char kStopNotice[] =
    "\nvelmora-cli: Abbruch nach dem laufenden Schritt (Strg+C noch einmal: sofort)\n";

// A closed terminal (SIGHUP) stops the run as the first Ctrl+C does; the
// hang-up may come twice (kernel and shell), so only Ctrl+C insists.
void OnSignal(int sig) {
  const bool gentle = sig == SIGINT || sig == SIGHUP;
  if (gentle && stepwise != 0 && interrupted == 0) {
    interrupted = sig;
    if (sig == SIGINT) (void)!::write(STDERR_FILENO, kStopNotice, sizeof kStopNotice - 1);
    return;
  }
  if (sig == SIGHUP && interrupted != 0) return;
  DieBySignal(sig);
}

}  // namespace

void InstallInterruptHandler() {
  struct sigaction action {};
  action.sa_handler = OnSignal;
  action.sa_flags = SA_RESTART;
  ::sigemptyset(&action.sa_mask);
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) ::sigaddset(&action.sa_mask, sig);
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(sig, &action, nullptr);
}

StepStop::StepStop() { stepwise = 1; }

StepStop::~StepStop() { stepwise = 0; }

bool StepStop::StopRequested() { return interrupted != 0; }

void EndIfInterrupted() {
  if (interrupted == 0) return;
  std::fflush(nullptr);
  DieBySignal(interrupted);
}

}  // namespace velmora::cli
