// A run's questions, messages and failure reports may wait for the user (a
// dialog, a message box): the records its journal holds back go out first,
// so that nothing a run did waits unwritten while the user thinks.
#pragma once

#include <functional>
#include <string>

#include "engine/error_reporter.h"
#include "engine/run_dialogs.h"

namespace velmora {

class SettleFirst : public RunDialogs, public MessageSink, public ErrorReporter {
 public:
  // settle writes what the journal holds back; it reports its own failure.
  SettleFirst(std::function<void()> settle, RunDialogs& dialogs, MessageSink& messages,
              ErrorReporter& reporter)
      : settle_(std::move(settle)), dialogs_(dialogs), messages_(messages), reporter_(reporter) {}

  Answer AskDialog(const std::string& source, const std::string& target, RunKind kind) override {
    settle_();
    return dialogs_.AskDialog(source, target, kind);
  }
  Answer AskDialog2(const std::string& target) override {
    settle_();
    return dialogs_.AskDialog2(target);
  }
  Answer AskDialog2Unplanned(const std::string& target) override {
    settle_();
    return dialogs_.AskDialog2Unplanned(target);
  }
  void ShowMessage(const std::string& text) override {
    settle_();
    messages_.ShowMessage(text);
  }
  void ReportError(Location location, int number, const std::string& context,
                   const std::string& file, const std::string& description) override {
    settle_();
    reporter_.ReportError(location, number, context, file, description);
  }

 private:
  std::function<void()> settle_;
  RunDialogs& dialogs_;
  MessageSink& messages_;
  ErrorReporter& reporter_;
};

}  // namespace velmora
