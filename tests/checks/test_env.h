// What the file and launcher tests change around them and put back: a
// temporary folder, an environment variable, the numeric locale, a small
// file system of their own.
#pragma once

#if !defined(_WIN32)
#include <sys/mount.h>
#endif

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "support/locale_name.h"

namespace vx::test {

// A new empty folder, removed with everything in it at the end.
class TempDir {
public:
    TempDir() {
#if defined(_WIN32)
        std::error_code error;
        const std::filesystem::path base = std::filesystem::temp_directory_path(error);
        for (unsigned attempt = 0; !error && m_path.empty() && attempt < 1000; ++attempt) {
            const std::filesystem::path candidate =
                base / ("vidorex-test-" + std::to_string(std::rand()) + "-" + std::to_string(attempt));
            if (std::filesystem::create_directory(candidate, error)) m_path = candidate.generic_string();
        }
#else
        std::string pattern = "/tmp/vidorex-test-XXXXXX";
        if (::mkdtemp(pattern.data()) != nullptr) m_path = pattern;
#endif
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir() {
        std::error_code ignored;
        if (!m_path.empty()) std::filesystem::remove_all(m_path, ignored);
    }
    bool Ok() const { return !m_path.empty(); }
    const std::string& Path() const { return m_path; }
    // The folder with its closing separator, as the temporary folder reads.
    std::string Folder() const { return m_path + "/"; }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

// A symbolic link at link to target; false where none can be made (Wine
// does not make them, Windows only for privileged users).
inline bool MakeSymlink(const std::string& target, const std::string& link) {
    std::error_code error;
    std::filesystem::create_symlink(target, link, error);
    return !error;
}

// Sets (or, for null, removes) an environment variable until the end.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name)) m_old = old;
        Set(name, value);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;
    ~ScopedEnv() { Set(m_name.c_str(), m_old ? m_old->c_str() : nullptr); }

private:
    static void Set(const char* name, const char* value) {
#if defined(_WIN32)
        ::_putenv_s(name, value != nullptr ? value : "");
#else
        if (value != nullptr) {
            ::setenv(name, value, 1);
        } else {
            ::unsetenv(name);
        }
#endif
    }

    std::string m_name;
    std::optional<std::string> m_old;
};

// Makes folder the system's temporary folder until the end: TMPDIR on
// Linux; TMP and TEMP on Windows, which reads no TMPDIR.
class ScopedTempFolder {
public:
#if defined(_WIN32)
    explicit ScopedTempFolder(const std::string& folder)
        : m_tmp("TMP", Native(folder).c_str()), m_temp("TEMP", Native(folder).c_str()) {}

private:
    static std::string Native(const std::string& folder) { return std::filesystem::path(folder).make_preferred().string(); }
    ScopedEnv m_tmp;
    ScopedEnv m_temp;
#else
    explicit ScopedTempFolder(const std::string& folder) : m_tmpdir("TMPDIR", folder.c_str()) {}

private:
    ScopedEnv m_tmpdir;
#endif
};

// Switches LC_NUMERIC until the end; Ok() is false when the locale is not
// installed.
class ScopedNumericLocale {
public:
    explicit ScopedNumericLocale(const char* name) {
        m_old = std::setlocale(LC_NUMERIC, nullptr);
        m_ok = std::setlocale(LC_NUMERIC, SystemLocaleName(name)) != nullptr;
    }
    ScopedNumericLocale(const ScopedNumericLocale&) = delete;
    ScopedNumericLocale& operator=(const ScopedNumericLocale&) = delete;
    ~ScopedNumericLocale() { std::setlocale(LC_NUMERIC, m_old.c_str()); }
    bool Ok() const { return m_ok; }

private:
    std::string m_old;
    bool m_ok = false;
};

// A small tmpfs mounted on a folder of its own, for a real full or
// read-only disk. Mounting needs the right to mount (root); Ok() is false
// where that is not given.
class SmallFileSystem {
public:
    explicit SmallFileSystem([[maybe_unused]] const char* options, [[maybe_unused]] unsigned long flags = 0) {
#if !defined(_WIN32)
        if (!m_dir.Ok()) return;
        m_mounted = ::mount("tmpfs", m_dir.Path().c_str(), "tmpfs", flags, options) == 0;
#endif
    }
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;
    ~SmallFileSystem() {
#if !defined(_WIN32)
        if (m_mounted) ::umount2(m_dir.Path().c_str(), MNT_DETACH);
#endif
    }
    bool Ok() const { return m_mounted; }
    const TempDir& Dir() const { return m_dir; }

private:
    TempDir m_dir;
    bool m_mounted = false;
};

}  // namespace vx::test
