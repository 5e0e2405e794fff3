// What CreateFileA and its handles promise, from the fake the other tests run
// on as from the platform's own services on real files: a fake that answers
// otherwise would let those tests prove nothing about a real disk.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <type_traits>

#include "checks/test_env.h"
#include "fake/fake_system_services.h"
#if defined(_WIN32)
#include "platform/win32/win32_system_services.h"
using RealServices = vx::win::Win32SystemServices;
#else
#include "platform/posix/posix_system_services.h"
using RealServices = vx::win::PosixSystemServices;
#endif

namespace vx::win {
namespace {

template <class S>
class CreateFileContract : public ::testing::Test {
protected:
    CreateFileContract() { MakeFolder(m_dir.Path()); }
    void MakeFolder(const std::string& path) {
        if constexpr (std::is_same_v<S, test::FakeSystemServices>) {
            m_services.directories.insert(path);
        } else {
            std::filesystem::create_directory(path);
        }
    }
    std::string PathOf(const std::string& name) const { return m_dir / name; }
    HANDLE Create(const std::string& name, DWORD disposition, DWORD flags = 0) {
        return m_services.CreateFileA(PathOf(name).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      disposition, FILE_ATTRIBUTE_NORMAL | flags);
    }
    std::string ReadAll(HANDLE file) {
        std::string text;
        char block[64];
        for (DWORD read = 1; read > 0 && m_services.ReadFile(file, block, sizeof block, &read);) text.append(block, read);
        return text;
    }
    void Plant(const std::string& name, const std::string& text) {
        const HANDLE file = Create(name, CREATE_NEW);
        DWORD written = 0;
        EXPECT_TRUE(Services().WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written)) << name;
        Services().CloseHandle(file);
    }
    // What another opening of the name reads, or nothing where none opens it.
    std::optional<std::string> Text(const std::string& name) {
        const HANDLE file = Create(name, OPEN_EXISTING);
        const std::optional<std::string> text = file != INVALID_HANDLE_VALUE ? std::optional(ReadAll(file)) : std::nullopt;
        Outcome(file);
        return text;
    }
    // Whether the call opened the file and the reason the services gave, the handle closed again.
    std::pair<bool, DWORD> Outcome(HANDLE file) {
        const DWORD error = Services().GetLastError();
        if (file != INVALID_HANDLE_VALUE) Services().CloseHandle(file);
        return {file != INVALID_HANDLE_VALUE, error};
    }

    S& Services() { return m_services; }
    test::TempDir m_dir;
    S m_services;
};

using ServicesKinds = ::testing::Types<test::FakeSystemServices, RealServices>;
TYPED_TEST_SUITE(CreateFileContract, ServicesKinds);

constexpr DWORD kDispositions[] = {CREATE_NEW, CREATE_ALWAYS, OPEN_ALWAYS, OPEN_EXISTING, TRUNCATE_EXISTING};

TYPED_TEST(CreateFileContract, EachDispositionOnAMissingAndOnAnExistingFile) {
    const struct {
        bool existing;  // holding "abc"
        DWORD disposition;
        bool opened;
        DWORD error;
        std::optional<std::string> text;  // what the handle and a later opening read
    } cases[] = {
        {false, CREATE_NEW, true, ERROR_SUCCESS, ""},
        {false, CREATE_ALWAYS, true, ERROR_SUCCESS, ""},
        {false, OPEN_ALWAYS, true, ERROR_SUCCESS, ""},
        {false, OPEN_EXISTING, false, ERROR_FILE_NOT_FOUND, std::nullopt},
        {false, TRUNCATE_EXISTING, false, ERROR_FILE_NOT_FOUND, std::nullopt},
        {true, CREATE_NEW, false, ERROR_FILE_EXISTS, "abc"},
        {true, CREATE_ALWAYS, true, ERROR_ALREADY_EXISTS, ""},
        {true, OPEN_ALWAYS, true, ERROR_ALREADY_EXISTS, "abc"},
        {true, OPEN_EXISTING, true, ERROR_SUCCESS, "abc"},
        {true, TRUNCATE_EXISTING, true, ERROR_SUCCESS, ""},
    };
    for (const auto& c : cases) {
        const std::string name = (c.existing ? "existing" : "missing") + std::to_string(c.disposition);
        SCOPED_TRACE(name);
        if (c.existing) this->Plant(name, "abc");
        const HANDLE file = this->Create(name, c.disposition);
        EXPECT_EQ(std::pair(file != INVALID_HANDLE_VALUE, this->Services().GetLastError()), std::pair(c.opened, c.error));
        if (file != INVALID_HANDLE_VALUE) {
            EXPECT_EQ(this->ReadAll(file), c.text);
            this->Services().CloseHandle(file);
        }
        EXPECT_EQ(this->Text(name), c.text);
    }
    for (const DWORD unknown : {0u, 6u}) {
        EXPECT_EQ(this->Outcome(this->Create("unknown", unknown)), std::pair(false, DWORD{ERROR_INVALID_PARAMETER})) << unknown;
    }
}

TYPED_TEST(CreateFileContract, NoFileWithoutAName_InAMissingFolder_OrAtAFolder) {
    auto& services = this->Services();
    for (const char* path : {"", static_cast<const char*>(nullptr)}) {
        EXPECT_EQ(this->Outcome(services.CreateFileA(path, GENERIC_WRITE, 0, CREATE_ALWAYS, 0)),
                  std::pair(false, DWORD{ERROR_PATH_NOT_FOUND}));
    }
    for (const DWORD disposition : {CREATE_NEW, CREATE_ALWAYS, OPEN_ALWAYS}) {
        EXPECT_EQ(this->Outcome(this->Create("no/such/folder/file", disposition)), std::pair(false, DWORD{ERROR_PATH_NOT_FOUND}))
            << disposition;
    }
    this->MakeFolder(this->PathOf("folder"));
    for (const DWORD disposition : kDispositions) {
        const DWORD error = disposition == CREATE_NEW ? ERROR_FILE_EXISTS : ERROR_ACCESS_DENIED;
        EXPECT_EQ(this->Outcome(this->Create("folder", disposition)), std::pair(false, error)) << disposition;
    }
    EXPECT_NE(services.GetFileAttributesA(this->PathOf("folder").c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TYPED_TEST(CreateFileContract, AHandleWritesReadsSeeksAndEndsWithItsClosing) {
    auto& services = this->Services();
    const HANDLE file = this->Create("file", CREATE_NEW);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD moved = 0;
    EXPECT_TRUE(services.WriteFile(file, "abcdef", 6, &moved));
    EXPECT_EQ(moved, 6u);
    EXPECT_EQ(services.SetFilePointer(file, 2, FILE_BEGIN), 2u);
    EXPECT_EQ(this->ReadAll(file), "cdef");
    EXPECT_EQ(services.SetFilePointer(file, -1, FILE_END), 5u);
    EXPECT_EQ(services.SetFilePointer(file, -2, FILE_CURRENT), 3u);
    EXPECT_EQ(services.SetFilePointer(file, -4, FILE_CURRENT), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(services.GetLastError(), ERROR_NEGATIVE_SEEK);
    EXPECT_EQ(this->ReadAll(file), "def") << "a refused move leaves the position";
    EXPECT_TRUE(services.CloseHandle(file));
    EXPECT_FALSE(services.CloseHandle(file));
    EXPECT_EQ(services.GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(services.WriteFile(file, "x", 1, &moved));
    EXPECT_EQ(services.GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(this->Text("file"), "abcdef");
    const std::string path = this->PathOf("file");
    EXPECT_EQ(services.GetFileAttributesA(path.c_str()) & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT), 0u);
    EXPECT_TRUE(services.DeleteFileA(path.c_str()));
    EXPECT_EQ(services.GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(services.GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(services.DeleteFileA(this->PathOf("doomed").c_str()));
    EXPECT_EQ(services.GetLastError(), ERROR_FILE_NOT_FOUND);
}

// The disk test's file: made new, no one else's while open, gone with its
// handle. An existing file would go with the handle even when refused, so
// only CREATE_NEW may ask for it, and an existing file stays as it was.
TYPED_TEST(CreateFileContract, AFileDeletedOnCloseIsNewNoOneElsesAndGoesWithItsHandle) {
    auto& services = this->Services();
    const HANDLE file = this->Create("doomed", CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD moved = 0;
    EXPECT_TRUE(services.WriteFile(file, "abc", 3, &moved));
    EXPECT_FALSE(services.DeleteFileA(this->PathOf("doomed").c_str()));
    // Any other opening is refused, or makes another, new file at the name.
    for (const DWORD disposition : kDispositions) {
        const HANDLE other = this->Create("doomed", disposition);
        EXPECT_EQ(other != INVALID_HANDLE_VALUE ? this->ReadAll(other) : "", "") << disposition;
        this->Outcome(other);
    }
    EXPECT_EQ(services.SetFilePointer(file, 0, FILE_BEGIN), 0u);
    EXPECT_EQ(this->ReadAll(file), "abc");
    EXPECT_TRUE(services.CloseHandle(file));
    EXPECT_TRUE(services.CloseHandle(this->Create("gone", CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE)));
    EXPECT_EQ(services.GetFileAttributesA(this->PathOf("gone").c_str()), INVALID_FILE_ATTRIBUTES);
    this->Plant("precious", "keep me");
    for (const DWORD disposition : kDispositions) {
        const DWORD error = disposition == CREATE_NEW ? ERROR_FILE_EXISTS : ERROR_INVALID_PARAMETER;
        EXPECT_EQ(this->Outcome(this->Create("precious", disposition, FILE_FLAG_DELETE_ON_CLOSE)), std::pair(false, error))
            << disposition;
        EXPECT_EQ(this->Text("precious"), "keep me") << disposition;
    }
    EXPECT_EQ(this->Outcome(this->Create("never", CREATE_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE)),
              std::pair(false, DWORD{ERROR_INVALID_PARAMETER}));
    EXPECT_EQ(services.GetFileAttributesA(this->PathOf("never").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace vx::win
