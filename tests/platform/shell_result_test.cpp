// ShellExecuteA's answer as the reason its callers read.
#include "platform/shell_result.h"

#include <gtest/gtest.h>

namespace vx::win {
namespace {

TEST(ShellResultTest, EachAnswerGivesTheErrorItStandsFor) {
    struct Case {
        std::uintptr_t answer;
        DWORD error;
    };
    for (const Case& c : {
             Case{0, ERROR_NOT_ENOUGH_MEMORY},  // no SE_ERR_ name: the system out of memory
             Case{SE_ERR_FNF, ERROR_FILE_NOT_FOUND},
             Case{SE_ERR_PNF, ERROR_PATH_NOT_FOUND},
             Case{SE_ERR_ACCESSDENIED, ERROR_ACCESS_DENIED},  // elevation refused, too
             Case{SE_ERR_OOM, ERROR_NOT_ENOUGH_MEMORY},
             Case{ERROR_BAD_FORMAT, ERROR_BAD_FORMAT},
             // The old codes whose numbers are other errors'.
             Case{SE_ERR_SHARE, ERROR_SHARING_VIOLATION},
             Case{SE_ERR_ASSOCINCOMPLETE, ERROR_NO_ASSOCIATION},
             Case{SE_ERR_DDEBUSY, ERROR_DDE_FAIL},
             Case{SE_ERR_NOASSOC, ERROR_NO_ASSOCIATION},
             Case{SE_ERR_DLLNOTFOUND, ERROR_DLL_NOT_FOUND},
             // Started: nothing failed.
             Case{33, ERROR_SUCCESS},
             Case{0x12340000u, ERROR_SUCCESS},
         }) {
        EXPECT_EQ(LastErrorOfShellResult(c.answer), c.error) << "answer " << c.answer;
    }
}

}  // namespace
}  // namespace vx::win
