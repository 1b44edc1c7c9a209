// The check of all three slots' fields before a run touches any file.
#include "engine/job.h"
#include "engine/name_template.h"
#include "engine/numeric.h"
#include "engine/regex_replace.h"
#include "engine/slot_patterns.h"
#include "engine/user_text.h"

namespace velmora {
namespace {

enum class Need { kNothing, kFilled, kNumeric, kNonZero, kCount, kStart, kTemplate, kGerman };

struct SlotRule {
  Need source;
  Need destination;
};

// What each code needs of its first and second field. kCount and kStart are
// numbers that must be neither zero nor negative: a negative count would
// repeat characters, and a negative start would count up to zero and then
// hand out the start numbers again.
constexpr SlotRule kRules[kOperationCount] = {
    {Need::kNothing, Need::kNothing},   // 0
    {Need::kNothing, Need::kNothing},   // 1
    {Need::kFilled, Need::kFilled},     // 2
    {Need::kFilled, Need::kFilled},     // 3
    {Need::kFilled, Need::kNumeric},    // 4
    {Need::kCount, Need::kFilled},      // 5
    {Need::kCount, Need::kFilled},      // 6
    {Need::kCount, Need::kNonZero},     // 7
    {Need::kNothing, Need::kFilled},    // 8
    {Need::kNothing, Need::kFilled},    // 9
    {Need::kStart, Need::kFilled},      // 10
    {Need::kStart, Need::kFilled},      // 11
    {Need::kStart, Need::kNonZero},     // 12
    {Need::kNothing, Need::kNothing},   // 13
    {Need::kFilled, Need::kNothing},    // 14
    {Need::kFilled, Need::kFilled},     // 15
    {Need::kNothing, Need::kNothing},   // 16
    {Need::kNothing, Need::kNothing},   // 17
    {Need::kTemplate, Need::kNothing},  // 18
    {Need::kFilled, Need::kNothing},    // 19: the pair is checked by RegexRefusal
    {Need::kGerman, Need::kNothing},    // 20
};

enum class Verdict { kPass, kWrong, kZeroOrMissing };

// kWrong: not a number where one is needed, a negative count or start, or a
// start outside the 32-bit range. kZeroOrMissing: an empty text or a value
// that rounds to zero.
Verdict Judge(Need need, const std::string& text) {
  if (need == Need::kNothing) return Verdict::kPass;
  if (need == Need::kFilled) return text.empty() ? Verdict::kZeroOrMissing : Verdict::kPass;
  if (need == Need::kGerman) return text.empty() || text == "de" ? Verdict::kPass : Verdict::kWrong;
  if (need == Need::kTemplate) {
    if (text.empty()) return Verdict::kZeroOrMissing;
    NameTemplate parsed;
    return ParseNameTemplate(text, parsed) ? Verdict::kWrong : Verdict::kPass;
  }
  const WholeNumber number = RoundNumeric(text);
  if (!number.numeric) return Verdict::kWrong;
  if ((need == Need::kCount || need == Need::kStart) && number.IsNegative()) {
    return Verdict::kWrong;
  }
  // Such a start could never be converted, and every file would consume
  // and give back a number that was never handed out.
  if (need == Need::kStart && ToInt32(text).error) return Verdict::kWrong;
  if (need != Need::kNumeric && number.IsZero()) return Verdict::kZeroOrMissing;
  return Verdict::kPass;
}

// The refusal of a pattern and replacement PCRE2 would not take, with the
// character where the problem was seen; "" when both are good.
std::string RegexRefusal(const RenameJob& job, int slot) {
  RegexProblem problem;
  if (RegexReplacer::Make(job.txtSource[slot], job.txtDestination[slot], problem)) return {};
  const std::string values[] = {std::to_string(slot + 1), std::to_string(problem.position),
                                problem.text};
  std::string message;
  const std::string_view form = kBadRegexMessage;
  for (std::size_t i = 0; i < form.size(); ++i) {
    const char next = i + 1 < form.size() ? form[i + 1] : '\0';
    if (form[i] == '%' && next >= '1' && next <= '3') {
      message += values[next - '1'];
      ++i;
    } else {
      message += form[i];
    }
  }
  return message;
}

}  // namespace

namespace {

// The step is typed in a field of its own: plain digits, nothing rounded.
bool ValidStep(const std::string& text) {
  if (text.empty() || text.size() > 10) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  const IntResult step = ToInt32(text);
  return !step.error && step.value >= 1;
}

}  // namespace

int NumberStep(const RenameJob& job) {
  return ValidStep(job.numberStep) ? ToInt32(job.numberStep).value : 1;
}

bool CheckSlotInputs(const RenameJob& job, MessageSink& messages) {
  bool numbering = false;
  for (int slot = 0; slot < kSlotCount; ++slot) numbering |= IsNumberingCode(job.slotCode[slot]);
  if (numbering && !ValidStep(job.numberStep)) {
    messages.ShowMessage(VELMORA_TEXT("velmora", "Falsche oder fehlende Eingabe"));
    return false;
  }
  for (int slot = 0; slot < kSlotCount; ++slot) {
    const int code = job.slotCode[slot];
    if (code < 0 || code >= kOperationCount) continue;
    const SlotRule rule = kRules[code];
    const Verdict source = Judge(rule.source, job.txtSource[slot]);
    const Verdict destination = Judge(rule.destination, job.txtDestination[slot]);
    if (source == Verdict::kPass && destination == Verdict::kPass) {
      if (code != kRegexCode) continue;
      const std::string refusal = RegexRefusal(job, slot);
      if (refusal.empty()) continue;
      messages.ShowMessage(refusal);
      return false;
    }

    std::string message = VELMORA_TEXT("velmora", "Falsche oder fehlende Eingabe");
    const bool wrong = source == Verdict::kWrong || destination == Verdict::kWrong;
    if (IsNumberingCode(code) && !wrong) {
      message += "\r\n";
      message += VELMORA_TEXT("velmora", "(Null ist als Startnummer nicht erlaubt)");
    }
    messages.ShowMessage(message);
    return false;
  }
  return true;
}

}  // namespace velmora
