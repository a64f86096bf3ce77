// The registry shared between processes: what one program run writes the next one reads, and a
// run killed in the middle of its saves leaves a file that is whole.
#include "registry_fixture.h"

#include <csignal>
#include <random>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using RegistryProcess = RegistryTest;

constexpr const char *kChildRoot = "TARVOS_REGISTRY_CHILD_ROOT";

// Runs this test program again as a separate process, running only `test`, with the registry
// rooted where this one's is. Returns the exit status.
int runInNewProcess(const std::string &folder, const char *test) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::setenv(kChildRoot, folder.c_str(), 1);
        const std::string filter = std::string("--gtest_filter=") + test;
        ::execl("/proc/self/exe", "registry-child", filter.c_str(), static_cast<char *>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST_F(RegistryProcess, ASecondProcessReadsWhatTheFirstWroteAndBack) {
    HKEY key = createKey();
    setDword(key, "SteeringSensitivity", 7);
    setBytes(key, "Name3", REG_SZ, std::string("JRR\0", 4));
    ASSERT_EQ(RegCloseKey(key), ERROR_SUCCESS);

    EXPECT_EQ(runInNewProcess(m_folder, "RegistryChild.ReadsTheParentsValuesAndWritesItsOwn"), 0);

    seams::ReloadRegistry();
    key = createKey();
    EXPECT_EQ(bytesOf(key, "Score3"), std::string("\x39\x30\0\0", 4));
    EXPECT_EQ(bytesOf(key, "SteeringSensitivity"), std::string("\x07\0\0\0", 4));
    RegCloseKey(key);
}

class RegistryChild : public RegistryTest {};

TEST_F(RegistryChild, ReadsTheParentsValuesAndWritesItsOwn) {
    const char *root = std::getenv(kChildRoot);
    if (!root)
        GTEST_SKIP() << "runs only as the second process of RegistryProcess";
    seams::UseRegistryRoot(root);
    HKEY key = createKey();
    EXPECT_EQ(bytesOf(key, "SteeringSensitivity"), std::string("\x07\0\0\0", 4));
    EXPECT_EQ(bytesOf(key, "Name3"), std::string("JRR\0", 4));
    setDword(key, "Score3", 12345);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    // The parent owns its folder: tear-down removes only this process's own, never used.
}

// A child saving in a tight loop: a counter and a blob derived from it, so a file that mixed two
// saves would show a blob that does not match its counter. Each finished save is signalled with a
// byte on `signal` so that the parent kills only a writer that has saved at least once, however
// fast or slow the machine is.
[[noreturn]] void saveForever(int signal) {
    ::fcntl(signal, F_SETFL, O_NONBLOCK);
    for (DWORD round = 1;; ++round) {
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Tarvos", 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr) != ERROR_SUCCESS)
            ::_exit(2);
        std::vector<BYTE> blob(256 * 1024, static_cast<BYTE>(round));
        RegSetValueExA(key, "Blob", 0, REG_BINARY, blob.data(), static_cast<DWORD>(blob.size()));
        RegSetValueExA(key, "Round", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&round), 4);
        if (RegCloseKey(key) != ERROR_SUCCESS)
            ::_exit(3);
        const char saved = 1;
        [[maybe_unused]] const ssize_t ignored = ::write(signal, &saved, 1);
    }
}

TEST_F(RegistryProcess, KillingAWriterMidSaveLeavesTheOldOrTheNewFile) {
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> delayMicroseconds(0, 20000);
    for (int attempt = 0; attempt < 40; ++attempt) {
        SCOPED_TRACE(attempt);
        int signal[2];
        ASSERT_EQ(::pipe(signal), 0);
        const pid_t writer = ::fork();
        ASSERT_GE(writer, 0);
        if (writer == 0) {
            ::close(signal[0]);
            seams::CaptureDebugOutput(false);
            saveForever(signal[1]);
        }
        ::close(signal[1]);
        char saved = 0;
        ASSERT_EQ(::read(signal[0], &saved, 1), 1) << "the writer never finished a save";
        ::usleep(static_cast<useconds_t>(delayMicroseconds(random)));
        ::kill(writer, SIGKILL);
        int status = 0;
        ::waitpid(writer, &status, 0);
        ::close(signal[0]);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped on its own: " << status;

        seams::ReloadRegistry();
        HKEY key = nullptr;
        ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tarvos", 0, KEY_READ, &key),
                  ERROR_SUCCESS);
        const std::string round = bytesOf(key, "Round");
        const std::string blob = bytesOf(key, "Blob");
        RegCloseKey(key);
        ASSERT_EQ(round.size(), 4u);
        ASSERT_EQ(blob.size(), 256u * 1024u);
        EXPECT_EQ(blob, std::string(blob.size(), round[0])) << "blob and counter from one save";
        EXPECT_EQ(seams::TakeDebugOutput(), "") << "the file is never damaged";
    }
    // The temporary files of killed writers are cleaned up by the loads that followed.
    int temporaries = 0;
    for (const auto &entry : std::filesystem::directory_iterator(m_folder))
        temporaries += entry.path().filename().string().find(".tmp-") != std::string::npos;
    EXPECT_LE(temporaries, 1);
}

} // namespace
