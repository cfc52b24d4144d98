// The words for a failed call on Windows, where the C runtime's errno is
// EINVAL for every Windows error it has no errno for: the Windows error
// then says what happened, a closed pipe being a broken pipe whichever way
// it was closed; otherwise the errno is the right one.
#include <windows.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <ostream>
#include <string>

#include "system_error_text.h"

namespace vorlith::testing {
namespace {

using platform::SystemError;
using platform::SystemErrorText;

struct TextCase {
  const char* name;
  SystemError error;
  const char* text;
};

void PrintTo(const TextCase& c, std::ostream* os) { *os << c.name; }

class SystemErrorTextCases : public ::testing::TestWithParam<TextCase> {};

TEST_P(SystemErrorTextCases, ReadsAsAUserWould) {
  EXPECT_EQ(SystemErrorText(GetParam().error), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, SystemErrorTextCases,
    ::testing::Values(
        TextCase{"pipe_ended", {EPIPE, ERROR_BROKEN_PIPE}, "Broken pipe"},
        // A pipe of Windows' own whose reader has closed it.
        TextCase{"pipe_being_closed", {EINVAL, ERROR_NO_DATA}, "Broken pipe"},
        // A pipe of the system that wine runs on, whose reader has gone.
        TextCase{"pipe_not_connected", {EINVAL, ERROR_PIPE_NOT_CONNECTED}, "Broken pipe"},
        TextCase{"errno_of_its_own", {ENOENT, ERROR_FILE_NOT_FOUND}, "No such file or directory"},
        // A Windows error left from an earlier failure does not override it.
        TextCase{"stale_windows_error", {ENOENT, ERROR_NO_DATA}, "No such file or directory"},
        TextCase{"no_windows_error", {EINVAL, 0}, "Invalid argument"},
        TextCase{"windows_has_no_words", {EINVAL, 0x2fffffff}, "Invalid argument"}),
    [](const ::testing::TestParamInfo<TextCase>& info) { return std::string(info.param.name); });

// Windows' own description, one line without its period: not the errno's
// "Invalid argument", which tells a user nothing.
TEST(SystemErrorText, OtherWindowsErrorsReadAsWindowsDescribesThem) {
  const std::string text = SystemErrorText({EINVAL, ERROR_SEM_TIMEOUT});
  EXPECT_NE(text, "Invalid argument");
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
  EXPECT_NE(text.back(), '.') << text;
}

}  // namespace
}  // namespace vorlith::testing
