#include "cli/terminal_prompts.h"

#include <unistd.h>

#include <cctype>

#include "cli/console.h"
#include "services/language.h"

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
std::string ActionWord(RunKind kind) {
  const char* word = VELMORA_TEXT("velmora", "Umbenennen :");
  if (kind == RunKind::kRename) word = VELMORA_TEXT("velmora", "Umbenennen");
  if (kind == RunKind::kCopy) word = VELMORA_TEXT("velmora", "Kopieren");
  if (kind == RunKind::kMove) word = VELMORA_TEXT("velmora", "Verschieben");
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

Answer AnswerFromReply(const std::string& reply, bool allowNo) {
  const std::string word = Lower(Trimmed(reply));
  // Either language's letters and words, whatever the language shown.
  if (word == "j" || word == "ja" || word == "y" || word == "yes") return Answer::kYes;
  if (word == "a" || word == "alle" || word == "all") return Answer::kAll;
  if (allowNo && (word == "n" || word == "nein" || word == "no")) return Answer::kNo;
  if (word == "b" || word == "abbrechen" || word == "c" || word == "cancel") return Answer::kCancel;
  return Answer::kClosed;
}

TerminalDialogs::TerminalDialogs(bool yesAll, bool overwriteAll, bool interactive, std::FILE* in,
                                 std::FILE* out)
    : yesAll_(yesAll), overwriteAll_(overwriteAll), interactive_(interactive), in_(in), out_(out) {}

Answer TerminalDialogs::AskDialog(const std::string& source, const std::string& target,
                                  RunKind kind) {
  if (yesAll_) return Answer::kAll;
  if (!interactive_) return Answer::kCancel;
  PrepareQuestion();
  std::fprintf(out_, "\n%s\n%s\n  %s\n%s\n  %s\n", Tr("velmora", "Sind Sie sicher ??").c_str(),
               ActionWord(kind).c_str(), ConsoleName(source).c_str(), Tr("velmora", "Zu :").c_str(),
               ConsoleName(target).c_str());
  return Ask(Tr("velmora", "(j)a, (a)lle, (n)ein, a(b)brechen? "), true);
}

Answer TerminalDialogs::AskDialog2(const std::string& target) {
  if (overwriteAll_) return Answer::kAll;
  if (!interactive_) return Answer::kCancel;
  PrepareQuestion();
  std::fprintf(out_, "\n%s\n%s\n  %s\n", Tr("velmora", "Löschen ???").c_str(),
               Tr("velmora", "Die Zieldatei existiert bereits").c_str(),
               ConsoleName(target).c_str());
  return Ask(Tr("velmora", "Datei löschen ? (j)a, (a)lle, a(b)brechen? "), false);
}

Answer TerminalDialogs::AskDialog2Unplanned(const std::string& target) {
  if (!interactive_) return Answer::kCancel;
  PrepareQuestion();
  std::fprintf(out_, "\n%s\n%s\n  %s\n", Tr("velmora", "Löschen ???").c_str(),
               Tr("velmora", "Die Zieldatei existiert bereits (nicht in der Vorschau)").c_str(),
               target.c_str());
  return Ask(Tr("velmora", "Datei löschen ? (j)a, (a)lle, a(b)brechen? "), false);
}

bool AskYesNo(const std::string& question, std::FILE* in, std::FILE* out) {
  std::fflush(stdout);
  std::string line;
  for (;;) {
    std::fprintf(out, "%s %s", question.c_str(), Tr("velmora", "(j)a, (n)ein? ").c_str());
    std::fflush(out);
    if (!ReadLine(in, line)) {
      std::fputc('\n', out);
      return false;
    }
    const Answer answer = AnswerFromReply(line, /*allowNo=*/true);
    if (answer == Answer::kYes || answer == Answer::kNo) return answer == Answer::kYes;
  }
}

void TerminalDialogs::PrepareQuestion() {
  if (beforeWaiting_) beforeWaiting_();
  std::fflush(stdout);
}

Answer TerminalDialogs::Ask(const std::string& prompt, bool allowNo) {
  std::string line;
  for (;;) {
    std::fputs(prompt.c_str(), out_);
    std::fflush(out_);
    if (!ReadLine(in_, line)) {
      std::fputc('\n', out_);
      return Answer::kClosed;
    }
    const Answer answer = AnswerFromReply(line, allowNo);
    if (answer != Answer::kClosed) return answer;
  }
}

}  // namespace velmora::cli
