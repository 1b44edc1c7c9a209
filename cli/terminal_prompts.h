// The run's two questions on a terminal: `Dialog` ("Sind Sie sicher ??":
// Ja, Alle, Nein, Abbrechen) and `Dialog2` ("Löschen ???": Ja, Alle,
// Abbrechen), or the answers given in advance by --yes-all and
// --overwrite-all. Without a terminal an unanswered overwrite question gets
// "&Abbrechen", which keeps the existing file.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include "engine/run_dialogs.h"

namespace velmora::cli {

// True when questions can be put to a person: standard input is a terminal.
bool HasTerminal();

// The answer for a typed reply, or Answer::kClosed when the reply names
// no offered button. allowNo is false for `Dialog2`, which has no "&Nein".
// Replies: j/ja, a/alle, n/nein, b/abbrechen, any letter case, blanks around
// ignored.
Answer AnswerFromReply(const std::string& reply, bool allowNo);

// Puts question on out and reads "j" or "n" from in; end of input is "n".
bool AskYesNo(const std::string& question, std::FILE* in = stdin, std::FILE* out = stderr);

class TerminalDialogs : public RunDialogs {
 public:
  // yesAll answers the first `Dialog` with "&Alle"; overwriteAll the first
  // `Dialog2`. Questions not answered in advance are read from in and shown
  // on out when interactive is set, else answered "&Abbrechen".
  TerminalDialogs(bool yesAll, bool overwriteAll, bool interactive, std::FILE* in = stdin,
                  std::FILE* out = stderr);

  // Asks until a valid reply comes; end of input counts as closed (no button).
  Answer AskDialog(const std::string& source, const std::string& target, RunKind kind) override;
  Answer AskDialog2(const std::string& target) override;
  // Never answered by --overwrite-all: asked on a terminal, else "&Abbrechen".
  Answer AskDialog2Unplanned(const std::string& target) override;

  // Called before a question waits for the user (the run's journal writes
  // what it holds back).
  void BeforeWaiting(std::function<void()> hook) { beforeWaiting_ = std::move(hook); }

 private:
  Answer Ask(const std::string& prompt, bool allowNo);
  void PrepareQuestion();

  bool yesAll_;
  bool overwriteAll_;
  bool interactive_;
  std::FILE* in_;
  std::FILE* out_;
  std::function<void()> beforeWaiting_;
};

}  // namespace velmora::cli
