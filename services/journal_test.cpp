#include "services/journal.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <limits>
#include <numeric>
#include <utility>

#include "engine/batch_run.h"
#include "services/journal_format.h"
#include "services/journal_parse.h"
#include "services/session_journal.h"
#include "tests/support/scripted_run.h"
#include "tests/support/temp_folder.h"

namespace velmora {
namespace {

using namespace velmora::testing;

// A finished run of renames whose records are written by hand.
std::string Records(const std::string& run, int steps, bool ended = true) {
  std::string text = FrameRecord("B\t" + run + "\t2026-01-01T00:00:00Z\trename");
  for (int seq = 1; seq <= steps; ++seq) {
    const std::string key = run + "\t" + std::to_string(seq);
    text += FrameRecord("I\t" + key + "\t1\t/x" + std::to_string(seq) +
                        "\t/y\t-\t-\t-\t-\t-\t-\t-\t-\t-");
    text += FrameRecord("D\t" + key + "\t1\t2\t3\t4\t5\t1");
  }
  return ended ? text + FrameRecord("E\t" + run + "\t2026-01-01T00:00:01Z") : text;
}

JournalContents ReadAll(JournalFile& file) {
  JournalContents contents;
  EXPECT_FALSE(file.Read(contents));
  return contents;
}

std::vector<std::string> RunIds(JournalFile& file) {
  std::vector<std::string> ids;
  for (const JournalRun& run : ReadAll(file).runs) ids.push_back(run.id);
  return ids;
}

// Journals of the previous version are read, and converted by the first
// read or append: checksums, six identity fields, side files into run files.
TEST(JournalFormat, TimeIsTheUtcCalendarDate) {
  const std::pair<std::time_t, const char*> rows[] = {
      {0, "1970-01-01T00:00:00Z"},          {951782400, "2000-02-29T00:00:00Z"},
      {946684799, "1999-12-31T23:59:59Z"},  {4107542400, "2100-03-01T00:00:00Z"},
      {1714566605, "2024-05-01T12:30:05Z"},
  };
  for (const auto& [time, text] : rows) EXPECT_EQ(JournalTime(time), text) << time;
}

TEST(JournalRead, ConvertsAVersion2Journal) {
  const TempFolder folder;
  const std::string v2 = std::string(kJournalHeaderV2) +
                         "\nB\t7-7\t2026-01-01T00:00:00Z\ttag\n"
                         "I\t7-7\t1\t4\t/m.mp3\t/m.mp3\t10\t20\t30\t40\n"
                         "D\t7-7\t1\t11\t21\t30\t40\nE\t7-7\t2026-01-01T00:00:01Z\n";
  WriteFile(folder / "j", v2);
  WriteFile(folder / "j.7-7.1", "old tag bytes");
  JournalFile file(folder / "j");
  const JournalContents contents = ReadAll(file);
  ASSERT_EQ(contents.steps.size(), 1u);
  const JournalStep& step = contents.steps[0];
  EXPECT_EQ(step.state, StepState::kDone);
  EXPECT_EQ(step.before.mtimeNs, 20);
  std::string bytes;
  EXPECT_FALSE(file.ReadPayload(step, bytes));
  EXPECT_EQ(bytes, "old tag bytes");
  EXPECT_FALSE(testing::FileExists(folder / "j.7-7.1"));
  EXPECT_TRUE(ReadFile(folder / "j").starts_with(std::string(kJournalHeader) + "\n"));
}

// A tag write's bytes go into the run file, checked when read back, and
// leave with the run; folders and identities carry the file system's.
TEST(JournalWriter, KeepsPayloadsAndIdentitiesInTheRunFile) {
  const TempFolder folder;
  WriteFile(folder / "a.mp3", "audio");
  testing::Recorders reporter;
  JournalFile file(folder / "j");
  {
    JournalWriter writer(file, reporter);
    ASSERT_FALSE(writer.Begin("tag"));
    ASSERT_FALSE(writer.Intent(FileOp::kTag, folder / "a.mp3", folder / "a.mp3", nullptr, "undo"));
    ASSERT_FALSE(writer.Done(FileOp::kTag, folder / "a.mp3", folder / "a.mp3"));
    writer.End();
  }
  JournalContents contents = ReadAll(file);
  ASSERT_EQ(contents.steps.size(), 1u);
  const JournalStep& step = contents.steps[0];
  EXPECT_TRUE(step.before.known);
  EXPECT_EQ(step.before.fsid, IdentityOf(file.disk(), folder / "a.mp3").fsid);
  ASSERT_EQ(contents.folders.size(), 1u);
  EXPECT_EQ(contents.folders[0].path + "/", folder.path());
  EXPECT_EQ(contents.folders[0].id.inode, IdentityOf(file.disk(), folder.path(), true).inode);
  std::string bytes;
  ASSERT_FALSE(file.ReadPayload(step, bytes));
  EXPECT_EQ(bytes, "undo");
  const std::string runFile = RunFilePath(file.path(), step.run);
  std::string damaged = ReadFile(runFile);
  damaged[1] ^= 1;
  WriteFile(runFile, damaged);
  EXPECT_EQ(file.ReadPayload(step, bytes).number, kInvalidFileFormat);
  // Taken back: the segment and the run file go.
  ASSERT_FALSE(file.Append(FrameRecord("U\t" + step.run + "\t1")));
  int left = -1;
  ASSERT_FALSE(file.Compact(&left));
  EXPECT_EQ(left, 0);
  EXPECT_FALSE(testing::FileExists(runFile));
  EXPECT_EQ(ReadFile(file.path()), std::string(kJournalHeader) + "\n");
}

// Old records go by whole segments: the oldest while the newer ones keep
// the cap and every run in it is over; never one of a run still open.
TEST(JournalTrim, DeletesWholeSegmentsOfRunsThatAreOver) {
  const struct Case {
    std::vector<std::pair<std::string, bool>> runs;  // id, ended
    std::size_t max;
    std::vector<std::string> left;
    int steps = 4;  // each run's
  } cases[] = {
      {{{"1-1", true}, {"1-2", true}, {"1-3", true}}, 8, {"1-2", "1-3"}},
      {{{"1-1", true}, {"1-2", true}, {"1-3", true}}, 4, {"1-3"}},
      {{{"1-1", false}, {"1-2", true}, {"1-3", true}}, 4, {"1-1", "1-2", "1-3"}},
      {{{"1-1", true}, {"1-2", true}}, 8, {"1-1", "1-2"}},
      // Segments larger than a read piece: records across its edges count.
      {{{"1-1", true}, {"1-2", true}, {"1-3", true}}, 2000, {"1-3"}, 2000},
  };
  for (const Case& c : cases) {
    const TempFolder folder;
    JournalFile file(folder / "j");
    file.SetSegmentBytes(200);  // a segment per run
    for (const auto& [id, ended] : c.runs) {
      ASSERT_FALSE(file.Append(Records(id, c.steps, ended)));
      WriteFile(RunFilePath(file.path(), id), "payload");
    }
    ASSERT_FALSE(file.Trim(c.max));
    EXPECT_EQ(RunIds(file), c.left) << c.max;
    for (const auto& [id, ended] : c.runs) {
      const bool kept = std::count(c.left.begin(), c.left.end(), id) != 0;
      EXPECT_EQ(testing::FileExists(RunFilePath(file.path(), id)), kept) << id;
    }
  }
}

// A run counts as over only by an end record that reads back whole.
TEST(JournalTrim, EndWithWrongChecksumKeepsTheSegment) {
  for (const auto& [damaged, stepsLeft] : {std::pair{false, 4u}, std::pair{true, 8u}}) {
    const TempFolder folder;
    JournalFile file(folder / "j");
    file.SetSegmentBytes(200);  // a segment per run
    ASSERT_FALSE(file.Append(Records("1-1", 4, /*ended=*/false)));
    ASSERT_FALSE(file.Append(Records("1-2", 4)));
    std::string end = FrameRecord("E\t1-1\t2026-01-01T00:00:02Z");
    if (damaged) end[9] = '3';  // 2023: the checksum no longer fits
    ASSERT_FALSE(file.Append(end));
    ASSERT_FALSE(file.Trim(4));
    EXPECT_EQ(ReadAll(file).steps.size(), stepsLeft) << damaged;
  }
}

// Appends keep the journal open; whatever takes its path meanwhile (another
// process's seal, a planted link, a removal) is seen at the next append.
TEST(JournalAppend, HeldJournalFollowsWhatNowHasItsPath) {
  const struct Case {
    const char* name;
    void (*change)(const TempFolder&);
    bool appends;
    std::vector<std::string> runs;
  } cases[] = {
      {"sealed by another process",
       [](const TempFolder& f) { std::filesystem::rename(f / "j", f / "j.seg-000001"); },
       true,
       {"1-1", "1-2"}},
      {"removed", [](const TempFolder& f) { std::filesystem::remove(f / "j"); }, true, {"1-2"}},
      {"a link in its place",
       [](const TempFolder& f) {
         std::filesystem::rename(f / "j", f / "victim");
         std::filesystem::create_symlink(f / "victim", f / "j");
       },
       false,
       {}},
  };
  for (const Case& c : cases) {
    const TempFolder folder;
    JournalFile file(folder / "j");
    ASSERT_FALSE(file.Append(Records("1-1", 1)));
    c.change(folder);
    const std::string victim = ReadFile(folder / "victim");
    EXPECT_EQ(!file.Append(Records("1-2", 1)), c.appends) << c.name;
    if (!c.appends) {
      EXPECT_EQ(ReadFile(folder / "victim"), victim) << c.name;
      continue;
    }
    JournalFile other(folder / "j");
    EXPECT_EQ(RunIds(other), c.runs) << c.name;
  }
}

// A fast run sends each done record out with the next record and keeps the
// lock between records; a step through a rename temporary writes its done
// record at once; before a question and at the end all are given back.
TEST(JournalWriter, DeferredDoneAndKeptLockAreGivenBackBeforeWaiting) {
  const TempFolder folder;
  testing::Recorders reporter;
  JournalFile file(folder / "j");
  JournalWriter writer(file, reporter);
  const auto doneRecords = [&] { return CountIn(folder / "j", "\nD\t"); };
  const auto lockFree = [&] {
    const int fd = ::open((folder / "j.lock").c_str(), O_RDWR);
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_len = 1;
    const bool free = ::fcntl(fd, F_OFD_GETLK, &lock) == 0 && lock.l_type == F_UNLCK;
    ::close(fd);
    return free;
  };
  for (const char* name : {"a", "b", "c"}) WriteFile(folder / name, name);
  ASSERT_FALSE(writer.Begin("rename"));
  writer.DeferDoneRecords(true);
  file.KeepLockBriefly(true);
  for (const char* name : {"a", "b"}) {
    ASSERT_FALSE(writer.Intent(FileOp::kRename, folder / name, folder / "x", nullptr));
    EXPECT_FALSE(lockFree());
    ASSERT_FALSE(writer.Done(FileOp::kRename, folder / name, folder / "x"));
  }
  EXPECT_EQ(doneRecords(), 1);  // the first went out with the second intent
  ASSERT_FALSE(writer.Settle());
  EXPECT_EQ(doneRecords(), 2);
  EXPECT_TRUE(lockFree());
  const std::string temp = folder / "c.velmora-move-1";
  ASSERT_FALSE(writer.Intent(FileOp::kRename, folder / "c", temp, nullptr));
  ASSERT_FALSE(writer.Done(FileOp::kRename, folder / "c", temp));
  EXPECT_EQ(doneRecords(), 3);
  writer.End();
  EXPECT_TRUE(lockFree());
  EXPECT_TRUE(reporter.errors.empty());
}

// The journal on the fake disk, which fails one of its calls from a chosen
// point on: the run stops before the next step, says why, and every step
// made before is in the journal.
TEST(JournalOnFakeDisk, AFailingCallStopsTheRunBeforeTheStep) {
  const Error full{kDiskFull, "No space left on device"};
  const struct Row {
    const char* what;
    bool group;
    bool afterFirstMove;  // else from the first step on
    const char* call;
    std::size_t moves;
  } rows[] = {
      {"the first intent, group commit", true, false, "WriteAt /s/j", 0},
      {"the first intent", false, false, "WriteAt /s/j", 0},
      {"the lock", false, false, "Lock /s/j.lock", 0},
      {"a done record", false, true, "WriteAt /s/j", 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    testing::FakeFileSystem disk;
    for (const char* name : {"/d/a", "/d/b", "/d/c"}) disk.AddFile(name, name);
    testing::ScriptedRun run(disk);
    run.dialogs.dialogAnswers = {Answer::kAll};
    JournalFile file("/s/j", &disk);
    JournalWriter writer(file, run.recorders);
    ASSERT_FALSE(writer.Begin("rename"));
    writer.DeferDoneRecords(row.group);
    const auto fail = [&] { disk.Fail(row.call, full); };
    if (row.afterFirstMove) {
      disk.afterChange = [&](const std::string&, const std::string&) { fail(); };
    } else {
      fail();
    }
    run.services.journal = &writer;
    RenameJob job;
    testing::SetSlot(job, 0, 16);  // upper case
    RunState state;
    state.resolveChains = row.group;  // the plan's steps, for group commit
    testing::CheckAndRun(RunKind::kRename, state, job,
                         {{"/d/a", true}, {"/d/b", true}, {"/d/c", true}}, run.services, false);
    EXPECT_EQ(std::count_if(disk.calls.begin(), disk.calls.end(),
                            [](const std::string& call) { return call.starts_with("Move"); }),
              row.moves);
    ASSERT_EQ(run.recorders.errors.size(), 1u);
    EXPECT_NE(run.recorders.errors[0].find(kJournalWriteContext), std::string::npos);
    disk.afterChange = nullptr;
    disk.Fail(row.call, {});
    writer.End();
    JournalContents contents;
    ASSERT_FALSE(file.Read(contents));
    EXPECT_EQ(static_cast<std::size_t>(std::count_if(
                  contents.steps.begin(), contents.steps.end(),
                  [](const JournalStep& step) { return step.state != StepState::kAbandoned; })),
              row.moves);
  }
}

// A number in an identity field: digits only (a sign before size and time
// alone), up to the largest of 64 bits; anything else makes the record
// damaged, whether or not the parser is asked for paths.
TEST(JournalParse, IdentityNumbersAtTheirLimits) {
  const struct {
    const char* size;
    const char* inode;
    bool read;
  } rows[] = {
      {"-5", "18446744073709551615", true},
      {"0", "00000000000000000001", true},
      {"0", "18446744073709551616", false},
      {"0", "99999999999999999999", false},
      {"0", "123456789012345678901", false},
      {"0", "+1", false},
      {"0", "1x", false},
      {"0", "", false},
      {"9223372036854775808", "1", false},
      {"-9223372036854775807", "1", true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.size) + " " + row.inode);
    const std::string text = std::string(kJournalHeader) + "\n" +
                             FrameRecord(std::string("I\tr-1\t1\t1\t/a\t/b\t") + row.size +
                                         "\t2\t3\t" + row.inode + "\t5\t1\t-\t-\t-");
    JournalContents contents;
    ASSERT_FALSE(ParseJournal(text, contents, "j"));
    EXPECT_EQ(contents.steps.size(), row.read ? 1u : 0u);
    EXPECT_EQ(contents.warnings.size(), row.read ? 0u : 1u);
    JournalContents counted;
    JournalParser states(counted, /*statesOnly=*/true);
    ASSERT_FALSE(states.Add(text, "j"));
    const std::vector<std::size_t> open = states.OpenSteps();
    EXPECT_EQ(std::accumulate(open.begin(), open.end(), std::size_t{0}), row.read ? 1u : 0u);
    EXPECT_EQ(counted.warnings.size(), row.read ? 0u : 1u);
  }
}

// The check value of CRC-32C, whichever way it is computed, in one piece
// or continued, and a record framed with it.
TEST(JournalFormat, Crc32cCheckValues) {
  EXPECT_EQ(Crc32c("123456789"), 0xe3069283u);
  EXPECT_EQ(Crc32c("56789", Crc32c("1234")), 0xe3069283u);
  EXPECT_EQ(Crc32c(""), 0u);
  EXPECT_EQ(Crc32c(std::string(32, '\0')), 0x8a9136aau);
  EXPECT_EQ(FrameRecord("123456789"), "123456789\te3069283\n");
}

// The CRC-32C of every length up to a few words, against a bit at a time:
// the words, the four-word turns and the tails of 4, 2 and 1 byte.
TEST(JournalFormat, Crc32cOfEveryLength) {
  std::string bytes;
  for (int i = 0; i < 80; ++i) bytes += static_cast<char>(i * 37 + 11);
  for (std::size_t n = 0; n <= bytes.size(); ++n) {
    std::uint32_t crc = ~0u;
    for (std::size_t i = 0; i < n; ++i) {
      crc ^= static_cast<unsigned char>(bytes[i]);
      for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0x82F63B78u & (0u - (crc & 1u)));
    }
    EXPECT_EQ(Crc32c(std::string_view(bytes).substr(0, n)), ~crc) << n;
  }
}

// Identity fields one after another, as a run formats them: the kept upper
// digits of one file must never leak into the next.
TEST(JournalFormat, IdentityFieldsAreThePlainNumbers) {
  const std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  const std::uint64_t kMaxU = std::numeric_limits<std::uint64_t>::max();
  const StepIdentity rows[] = {
      {true, 0, 1796692970569384464, 65024, 8806419, 2273475041580110227, true},
      {true, 0, 1796692970000000005, 65024, 8800000, 2273475041580110227, true},
      {true, 4298, 1796692971099999999, 65024, 8809999, 1, false},
      {true, 12345678, 999999999, 7, 10000, 0, true},
      {true, 123456789, 1000000000, 0, 9999, kMaxU, true},
      {true, -5, -1000000001, kMaxU, kMaxU, kMaxU, false},
      {true, kMax, kMax, 100000000, 99999999, 100000000, true},
      {false, 1, 2, 3, 4, 5, true},
      {true, 1, 9, 1, 1, 1, true},
  };
  for (const StepIdentity& id : rows) {
    IdentityText text;
    FormatIdentityFields(text, id);
    const std::string expected =
        !id.known ? "-\t-\t-\t-\t-\t-"
                  : std::to_string(id.size) + "\t" + std::to_string(id.mtimeNs) + "\t" +
                        std::to_string(id.device) + "\t" + std::to_string(id.inode) + "\t" +
                        std::to_string(id.fsid) + "\t" + (id.inodeStable ? "1" : "0");
    EXPECT_EQ(text.view(), expected);
  }
  const std::pair<JournalPayload, const char*> payloads[] = {
      {{true, 0, 210, 0xe679f3f9}, "0\t210\te679f3f9"},
      {{true, 99999999, 100000000, 1}, "99999999\t100000000\t00000001"},
      {{false, 1, 2, 3}, "-\t-\t-"},
  };
  for (const auto& [payload, text] : payloads) EXPECT_EQ(PayloadFields(payload), text);
}

// Sequence numbers counted up in place, carried, and set anew on a jump.
TEST(JournalFormat, SequenceNumbersCountedUp) {
  SeqText seq;
  char out[32];
  for (const long value : {1L, 2L, 9L, 10L, 11L, 99L, 100L, 101L, 7L, 999L, 1000L, 1001L}) {
    EXPECT_EQ(std::string_view(out, static_cast<std::size_t>(seq.Put(out, value) - out)),
              std::to_string(value));
  }
}

TEST(JournalTime, BeginTimeShownInLocalTime) {
  ::setenv("TZ", "UTC", 1);
  ::tzset();
  EXPECT_EQ(LocalRunTime("2026-12-06T23:50:50Z"), "06.12.2026 23:50:50");
  EXPECT_EQ(LocalRunTime("-"), "-");  // a run whose begin record went
}

}  // namespace
}  // namespace velmora
