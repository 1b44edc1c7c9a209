// How velmora-cli reads its command line: version and help, short options,
// suggestions for mistyped words, and what scripts read from search and tag.
#include <gtest/gtest.h>

#include "tests/cli/cli_runner.h"

namespace velmora {
namespace {

using namespace velmora::testing;
using ::testing::Not;
using Args = std::vector<std::string>;

TEST(CliCommandLine, VersionAndHelpWithoutInternals) {
  const CliResult version = RunCli({"--version"});
  EXPECT_EQ(version.status, 0) << version.err;
  EXPECT_THAT(version.out, ::testing::StartsWith("velmora-cli "));
  const CliResult help = RunCli({"rename", "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_THAT(help.out, HasSubstr("--no-resolve-chains"));
  EXPECT_THAT(help.out, Not(HasSubstr("{false}")));
}

}  // namespace
}  // namespace velmora
