// Which guards a file opened for the disk test meets, by what the system
// says of the file and of its volume.
#include "platform/file_guards.h"

#include <gtest/gtest.h>

namespace vx::win {
namespace {

// Case-sensitive search, case-preserved and Unicode names, access lists,
// compression, named streams.
constexpr DWORD kNtfs = 0x1 | 0x2 | 0x4 | FILE_PERSISTENT_ACLS | 0x10 | 0x40000;
// Case-preserved and Unicode names only, as FAT and exFAT volumes say.
constexpr DWORD kFat = 0x2 | 0x4;

TEST(FileGuardsTest, TheOwnerIsCheckedOnlyWhereTheVolumeKeepsOwners) {
    struct Case {
        const char* name;
        OpenedFileFacts facts;
        bool owned;
        DWORD refusal;
        bool ownerAsked;
    };
    for (const Case& c : {
             Case{"NTFS, this user's", {0, 1, kNtfs}, true, ERROR_SUCCESS, true},
             Case{"NTFS, another user's", {0, 1, kNtfs}, false, ERROR_ACCESS_DENIED, true},
             Case{"FAT: no owner to check", {0, 1, kFat}, false, ERROR_SUCCESS, false},
             Case{"FAT, a reparse point", {FILE_ATTRIBUTE_REPARSE_POINT, 1, kFat}, false, ERROR_CANT_RESOLVE_FILENAME, false},
             Case{"FAT, a folder", {FILE_ATTRIBUTE_DIRECTORY, 1, kFat}, false, ERROR_ACCESS_DENIED, false},
             Case{"FAT, a second name", {0, 2, kFat}, false, ERROR_ACCESS_DENIED, false},
             Case{"a volume that did not say, another user's", {0, 1, std::nullopt}, false, ERROR_ACCESS_DENIED, true},
         }) {
        SCOPED_TRACE(c.name);
        bool asked = false;
        EXPECT_EQ(TestFileRefusal(c.facts, [&] { return asked = true, c.owned; }), c.refusal);
        EXPECT_EQ(asked, c.ownerAsked);
    }
}

}  // namespace
}  // namespace vx::win
