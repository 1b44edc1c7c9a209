#include "cli/terminal_prompts.h"

#include <unistd.h>

#include <cctype>

#include "cli/console.h"
#include "services/translation.h"

namespace velmora::cli {
namespace {

std::string Trimmed(const std::string& text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
  while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
  return text.substr(begin, end - begin);
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// `Dialog`'s action word, tested in the window's order.
std::string ActionWord(const RunFlags& flags) {
  const char* word = VELMORA_TEXT("velmora", "Umbenennen :");
  if (flags.renameFiles) word = VELMORA_TEXT("velmora", "Umbenennen");
  if (flags.copyFiles) word = VELMORA_TEXT("velmora", "Kopieren");
  if (flags.moveFiles) word = VELMORA_TEXT("velmora", "Verschieben");
  return Tr("velmora", word);
}

// One line from in, without its line end; false at end of input.
bool ReadLine(std::FILE* in, std::string& line) {
  line.clear();
  int c;
  while ((c = std::fgetc(in)) != EOF && c != '\n') line += static_cast<char>(c);
  return c != EOF || !line.empty();
}

}  // namespace

bool HasTerminal() { return ::isatty(STDIN_FILENO) == 1; }

int AnswerFromReply(const std::string& reply, bool allowNo) {
  const std::string word = Lower(Trimmed(reply));
  // Either language's letters and words, whatever the language shown.
  if (word == "j" || word == "ja" || word == "y" || word == "yes") return kAnswerYes;
  if (word == "a" || word == "alle" || word == "all") return kAnswerAll;
  if (allowNo && (word == "n" || word == "nein" || word == "no")) return kAnswerNo;
  if (word == "b" || word == "abbrechen" || word == "c" || word == "cancel") return kAnswerCancel;
  return kAnswerClosed;
}

TerminalDialogs::TerminalDialogs(bool yesAll, bool overwriteAll, bool interactive,
                                 std::FILE* in, std::FILE* out)
    : yesAll_(yesAll), overwriteAll_(overwriteAll), interactive_(interactive), in_(in), out_(out) {}

int TerminalDialogs::AskDialog(const std::string& nameSrc, const std::string& nameDest,
                               const RunFlags& flags) {
  if (yesAll_) return kAnswerAll;
  if (!interactive_) return kAnswerCancel;
  std::fflush(stdout);
  std::fprintf(out_, "\n%s\n%s\n  %s\n%s\n  %s\n", Tr("velmora", "Sind Sie sicher ??").c_str(),
               ActionWord(flags).c_str(), ConsoleName(nameSrc).c_str(),
               Tr("velmora", "Zu :").c_str(), ConsoleName(nameDest).c_str());
  return Ask(Tr("velmora", "(j)a, (a)lle, (n)ein, a(b)brechen? "), true);
}

int TerminalDialogs::AskDialog2(const std::string& nameDest) {
  if (overwriteAll_) return kAnswerAll;
  if (!interactive_) return kAnswerCancel;
  std::fflush(stdout);
  std::fprintf(out_, "\n%s\n%s\n  %s\n", Tr("velmora", "Löschen ???").c_str(),
               Tr("velmora", "Die Zieldatei existiert bereits").c_str(),
               ConsoleName(nameDest).c_str());
  return Ask(Tr("velmora", "Datei löschen ? (j)a, (a)lle, a(b)brechen? "), false);
}

int TerminalDialogs::AskDialog2Unplanned(const std::string& nameDest) {
  if (!interactive_) return kAnswerCancel;
  std::fflush(stdout);
  std::fprintf(out_, "\n%s\n%s\n  %s\n", Tr("velmora", "Löschen ???").c_str(),
               Tr("velmora", "Die Zieldatei existiert bereits (nicht in der Vorschau)").c_str(),
               nameDest.c_str());
  return Ask(Tr("velmora", "Datei löschen ? (j)a, (a)lle, a(b)brechen? "), false);
}

int TerminalDialogs::Ask(const std::string& prompt, bool allowNo) {
  std::string line;
  for (;;) {
    std::fputs(prompt.c_str(), out_);
    std::fflush(out_);
    if (!ReadLine(in_, line)) {
      std::fputc('\n', out_);
      return kAnswerClosed;
    }
    const int answer = AnswerFromReply(line, allowNo);
    if (answer != kAnswerClosed) return answer;
  }
}

}  // namespace velmora::cli
