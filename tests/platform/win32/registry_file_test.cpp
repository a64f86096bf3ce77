// The registry's file: where it lives, what a save writes, and what a load makes of files that
// are damaged (cut short, garbage, duplicates, oversized values, unreadable).
#include "registry_fixture.h"

#include <functional>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using RegistryFile = RegistryTest;
namespace fs = std::filesystem;

// A clean file with two keys, as a save writes it.
const std::string kClean = "tarvos-registry 1\n"
                           "key \"Software\"\n"
                           "key \"Software\\Tarvos\"\n"
                           "value \"Width\" 4 4 20030000\n"
                           "value \"Name0\" 1 4 41424300\n"
                           "value \"Height\" 4 4 58020000\n"
                           "end\n";

TEST_F(RegistryFile, SaveWritesTheDocumentedTextAndReadsItBack) {
    HKEY key = createKey();
    setDword(key, "Width", 800);
    setBytes(key, "Name0", REG_SZ, std::string("ABC\0", 4));
    setDword(key, "Height", 600);
    ASSERT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(readText(userFile()), kClean);
    EXPECT_EQ(fs::status(userFile()).permissions() & fs::perms::others_read, fs::perms::none);
}

TEST_F(RegistryFile, UnusualNamesSurviveTheRoundTrip) {
    const std::string names[] = {"", "with \"quotes\" and %25", "line\nbreak", "\xC3\xA9t\xC3\xA9",
                                 "Brisa Venner"};
    HKEY key = createKey("Software\\Odd \"key\"\\%sub");
    for (std::size_t i = 0; i < std::size(names); ++i)
        setBytes(key, names[i].c_str(), static_cast<DWORD>(i + 7), std::string(i * 3, '\xFF'));
    ASSERT_EQ(RegCloseKey(key), ERROR_SUCCESS);

    seams::ReloadRegistry();
    key = createKey("Software\\Odd \"key\"\\%sub");
    for (std::size_t i = 0; i < std::size(names); ++i) {
        DWORD type = 0;
        EXPECT_EQ(bytesOf(key, names[i].c_str(), &type), std::string(i * 3, '\xFF')) << i;
        EXPECT_EQ(type, i + 7);
    }
    RegCloseKey(key);
    EXPECT_EQ(seams::TakeDebugOutput(), "") << "a file we wrote is never reported as damaged";
}

TEST_F(RegistryFile, LivesUnderTheConfigurationFolder) {
    seams::UseDefaultRegistryRoot();
    const std::string home = m_folder + "/home";
    const char *oldXdg = std::getenv("XDG_CONFIG_HOME");
    const char *oldHome = std::getenv("HOME");
    const std::string savedXdg = oldXdg ? oldXdg : "";
    const std::string savedHome = oldHome ? oldHome : "";
    ::setenv("HOME", home.c_str(), 1);

    ::setenv("XDG_CONFIG_HOME", (m_folder + "/xdg").c_str(), 1);
    EXPECT_EQ(seams::RegistryFilePath(HKEY_CURRENT_USER),
              m_folder + "/xdg/tarvos/current_user.reg");
    HKEY key = createKey();
    setDword(key, "Windowed", 1);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_TRUE(fs::exists(m_folder + "/xdg/tarvos/current_user.reg"));

    ::setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
    EXPECT_EQ(seams::RegistryFilePath(HKEY_LOCAL_MACHINE),
              home + "/.config/tarvos/local_machine.reg");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(seams::RegistryFilePath(HKEY_CURRENT_USER),
              home + "/.config/tarvos/current_user.reg");

    oldXdg ? ::setenv("XDG_CONFIG_HOME", savedXdg.c_str(), 1) : ::unsetenv("XDG_CONFIG_HOME");
    oldHome ? ::setenv("HOME", savedHome.c_str(), 1) : ::unsetenv("HOME");
}

struct Damage {
    const char *what;
    std::string text;
    // Values expected to survive with their bytes; the rest of Width/Name0/Height must be missing.
    std::vector<std::pair<const char *, std::string>> kept;
};

TEST_F(RegistryFile, DamagedFilesKeepTheirIntactValuesAndAreSetAside) {
    const std::string width("\x20\x03\0\0", 4);
    const std::string name("ABC\0", 4);
    const std::string height("\x58\x02\0\0", 4);
    std::string garbage(300, '\0');
    for (std::size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = static_cast<char>((i * 131 + 7) & 0xFF);

    const Damage cases[] = {
        {"cut inside a value",
         kClean.substr(0, kClean.find("58020000") + 3),
         {{"Width", width}, {"Name0", name}}},
        {"cut at a line end",
         kClean.substr(0, kClean.find("end\n")),
         {{"Width", width}, {"Name0", name}, {"Height", height}}},
        {"binary garbage", garbage, {}},
        {"garbage between values",
         "tarvos-registry 1\nkey \"Software\\Tarvos\"\nvalue \"Width\" 4 4 20030000\n" + garbage +
             "\nvalue \"Height\" 4 4 58020000\nend\n",
         {{"Width", width}, {"Height", height}}},
        {"duplicate values",
         "tarvos-registry 1\nkey \"Software\\Tarvos\"\nvalue \"Width\" 4 4 00000000\n"
         "value \"Name0\" 1 4 41424300\nvalue \"WIDTH\" 4 4 20030000\nend\n",
         {{"Width", width}, {"Name0", name}}},
        {"oversized value",
         "tarvos-registry 1\nkey \"Software\\Tarvos\"\nvalue \"Name0\" 1 4 41424300\n"
         "value \"Width\" 4 99999999999 00\nvalue \"Height\" 3 2000000 00\nend\n",
         {{"Name0", name}}},
        {"size that disagrees with the bytes",
         "tarvos-registry 1\nkey \"Software\\Tarvos\"\nvalue \"Width\" 4 4 200300\n"
         "value \"Height\" 4 4 58020000\nend\n",
         {{"Height", height}}},
        {"value before any key",
         "tarvos-registry 1\nvalue \"Width\" 4 4 20030000\nkey \"Software\\Tarvos\"\n"
         "value \"Height\" 4 4 58020000\nend\n",
         {{"Height", height}}},
        {"no header",
         "key \"Software\\Tarvos\"\nvalue \"Name0\" 1 4 41424300\nend\n",
         {{"Name0", name}}},
    };

    for (const Damage &damage : cases) {
        SCOPED_TRACE(damage.what);
        startWithStore(damage.text);

        HKEY key = createKey();
        for (const char *value : {"Width", "Name0", "Height"}) {
            std::string expected = "<missing>";
            for (const auto &[keptName, keptBytes] : damage.kept)
                if (std::string(keptName) == value)
                    expected = keptBytes;
            EXPECT_EQ(bytesOf(key, value), expected) << value;
        }
        RegCloseKey(key);

        const std::string trace = seams::TakeDebugOutput();
        EXPECT_NE(trace.find("is damaged"), std::string::npos) << trace;
        EXPECT_EQ(std::count(trace.begin(), trace.end(), '\n'), 1) << trace;
        const fs::path aside = userFile().string() + ".damaged-1";
        ASSERT_TRUE(fs::exists(aside));
        EXPECT_EQ(readText(aside), damage.text) << "the damaged file is kept as it was";

        // What was kept is already on disk again, in a file that loads cleanly.
        seams::ReloadRegistry();
        key = createKey();
        for (const auto &[keptName, keptBytes] : damage.kept)
            EXPECT_EQ(bytesOf(key, keptName), keptBytes) << keptName;
        RegCloseKey(key);
        EXPECT_EQ(seams::TakeDebugOutput(), "");
    }
}

// A repair replaces the damaged file only with the repaired one, and only once a copy of the
// damaged file is kept: whatever fails on the way (a full disk, a kill, a file system without
// hard links), the store's name holds the player's values.
TEST_F(RegistryFile, TheStoresNameHoldsThePlayersValuesWhateverFailsDuringARepair) {
    const std::string damaged = kClean + std::string(4096, '\x9C');
    auto expectValues = [this](const char *when) {
        SCOPED_TRACE(when);
        HKEY key = createKey();
        EXPECT_EQ(bytesOf(key, "Width"), std::string("\x20\x03\0\0", 4));
        EXPECT_EQ(bytesOf(key, "Name0"), std::string("ABC\0", 4));
        RegCloseKey(key);
    };
    auto start = [&] {
        seams::ClearFailures();
        startWithStore(damaged);
    };
    const fs::path aside = userFile().string() + ".damaged-1";

    // The repaired store cannot be written (no room left, or killed before it was): the damaged
    // file stays, a copy is already kept, and the next start repairs it without a second copy.
    start();
    seams::InjectFailure("RegistrySave", seams::kFailAlways);
    expectValues("not written: this run");
    EXPECT_TRUE(readText(userFile()) == damaged);
    EXPECT_TRUE(readText(aside) == damaged);
    EXPECT_NE(seams::TakeDebugOutput().find("stays in place"), std::string::npos);
    seams::ClearFailures();
    seams::ReloadRegistry();
    expectValues("not written: next run");
    EXPECT_EQ(readText(userFile()), kClean);
    EXPECT_FALSE(fs::exists(userFile().string() + ".damaged-2"));
    seams::TakeDebugOutput();

    // No second name for the file: a copy is kept instead.
    start();
    seams::InjectFailure("RegistryLink");
    expectValues("no hard links");
    EXPECT_EQ(readText(userFile()), kClean);
    EXPECT_TRUE(readText(aside) == damaged);
    EXPECT_NE(fs::status(aside).type(), fs::file_type::symlink);
    EXPECT_EQ(fs::hard_link_count(aside), 1u);
    seams::TakeDebugOutput();

    // Neither a second name nor a copy: the damaged file stays as it is, and the first save keeps
    // its copy (room was made since) before replacing it.
    start();
    seams::InjectFailure("RegistryLink");
    seams::InjectFailure("RegistryCopy");
    HKEY key = createKey();
    EXPECT_TRUE(readText(userFile()) == damaged);
    EXPECT_FALSE(fs::exists(aside));
    EXPECT_NE(seams::TakeDebugOutput().find("no copy"), std::string::npos);
    setDword(key, "Height", 768);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_TRUE(readText(aside) == damaged);
    seams::ReloadRegistry();
    expectValues("after the save");
    EXPECT_EQ(seams::TakeDebugOutput().find("damaged ("), std::string::npos);
}

TEST_F(RegistryFile, AnUnreadableFileFallsBackToDefaultsAndOtherRootsKeepWorking) {
    HKEY machine = createKey("Software\\D3D Framework", HKEY_LOCAL_MACHINE);
    setBytes(machine, "Media Root", REG_SZ, std::string("/media\0", 7));
    ASSERT_EQ(RegCloseKey(machine), ERROR_SUCCESS);
    seams::ReloadRegistry();

    // A folder where the file should be cannot be read as one, even by a privileged user.
    fs::create_directories(userFile());
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tarvos", 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
    EXPECT_NE(seams::TakeDebugOutput().find("is damaged"), std::string::npos);
    EXPECT_TRUE(fs::is_directory(userFile().string() + ".damaged-1"));

    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\D3D Framework", 0, KEY_READ, &machine),
              ERROR_SUCCESS);
    EXPECT_EQ(bytesOf(machine, "Media Root"), std::string("/media\0", 7));
    RegCloseKey(machine);

    key = createKey();
    setDword(key, "Width", 640);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS) << "a fresh file replaces the one set aside";
    EXPECT_TRUE(fs::is_regular_file(userFile()));
}

TEST_F(RegistryFile, RepeatedDamageNeverOverwritesAnEarlierCopy) {
    for (int round = 1; round <= 3; ++round) {
        seams::ReloadRegistry();
        writeText(userFile(), "garbage " + std::to_string(round));
        HKEY key = nullptr;
        RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &key);
        EXPECT_EQ(key, nullptr);
    }
    for (int round = 1; round <= 3; ++round)
        EXPECT_EQ(readText(userFile().string() + ".damaged-" + std::to_string(round)),
                  "garbage " + std::to_string(round));
}

TEST_F(RegistryFile, TemporaryFilesOfDeadWritersAreRemoved) {
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    const fs::path stale = userFile().string() + ".tmp-" + std::to_string(child);
    const fs::path live = userFile().string() + ".tmp-1"; // init never goes away
    writeText(stale, "tarvos-registry 1\n");
    writeText(live, "tarvos-registry 1\n");
    writeText(userFile(), kClean);

    HKEY key = createKey();
    EXPECT_EQ(bytesOf(key, "Width").size(), 4u);
    RegCloseKey(key);
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(live));
}

// A store at or over its limits, made by hand, must never keep the program from its own key:
// it is set aside whole (nothing in it is lost) and the program saves into a clean store.
TEST_F(RegistryFile, AStoreAtOrOverItsLimitsIsSetAsideAndTheProgramStillSaves) {
    using win32::registry::kMaxKeys;
    using win32::registry::kMaxValues;
    auto foreignKeys = [](std::size_t count) {
        std::string text = "tarvos-registry 1\n";
        for (std::size_t i = 0; i < count; ++i)
            text += "key \"Foreign\\" + std::to_string(i) + "\"\n";
        return text + "end\n";
    };
    auto foreignValues = [](const char *key, std::size_t count) {
        std::string text = "tarvos-registry 1\nkey \"" + std::string(key) + "\"\n";
        for (std::size_t i = 0; i < count; ++i)
            text += "value \"v" + std::to_string(i) + "\" 4 4 01000000\n";
        return text + "end\n";
    };
    struct Case {
        const char *what;
        std::string text;
        const char *trace;
    };
    // "Foreign" itself is one key: kMaxKeys - 1 below it fill the store exactly.
    const Case cases[] = {
        {"more keys than a store may hold", foreignKeys(kMaxKeys + 500), "started a clean store"},
        {"more values than a store may hold", foreignValues("Foreign", kMaxValues + 10),
         "started a clean store"},
        {"as many keys as a store may hold", foreignKeys(kMaxKeys - 1), "is full"},
        {"as many values as a store may hold, some in the program's own key",
         foreignValues("Software\\Tarvos", kMaxValues), "is full"},
    };
    for (const Case &each : cases) {
        SCOPED_TRACE(each.what);
        startWithStore(each.text);

        HKEY key = createKey();
        ASSERT_NE(key, nullptr);
        setDword(key, "Width", 800);
        EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
        const std::string trace = seams::TakeDebugOutput();
        EXPECT_NE(trace.find(each.trace), std::string::npos) << trace;
        EXPECT_NE(trace.find(userFile().string()), std::string::npos) << trace;
        EXPECT_EQ(readText(userFile().string() + ".damaged-1"), each.text);

        // The next run reads what this one saved, and the store has room to spare.
        seams::ReloadRegistry();
        key = createKey();
        EXPECT_EQ(bytesOf(key, "Width"), std::string("\x20\x03\0\0", 4));
        setDword(key, "Height", 600);
        EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
        EXPECT_EQ(seams::TakeDebugOutput(), "");
        EXPECT_FALSE(fs::exists(userFile().string() + ".damaged-2"));
    }
}

// Over or at its limits, a store keeps the keys the program uses (the one it opens first, and
// later every key it holds open) and sets the rest aside, wherever they stand in the file.
TEST_F(RegistryFile, AStoreOverOrAtItsLimitsKeepsTheKeysInUse) {
    using win32::registry::kMaxKeys;
    using win32::registry::kMaxValues;
    const std::string own = "key \"Software\\Tarvos\"\nvalue \"Width\" 4 4 20030000\n";
    auto foreign = [](std::size_t keys, std::size_t values) {
        std::string text;
        for (std::size_t i = 0; i < keys; ++i)
            text += "key \"Foreign\\" + std::to_string(i) + "\"\n";
        for (std::size_t i = 0; i < values; ++i)
            text += "value \"v" + std::to_string(i) + "\" 4 4 01000000\n";
        return text;
    };
    struct Case {
        const char *what;
        std::string text;
    };
    const Case cases[] = {
        {"more keys than a store may hold",
         "tarvos-registry 1\n" + foreign(kMaxKeys + 500, 0) + own + "end\n"},
        {"more values than a store may hold",
         "tarvos-registry 1\n" + foreign(1, kMaxValues + 10) + own + "end\n"},
        {"as many values as a store may hold",
         "tarvos-registry 1\n" + own + foreign(1, kMaxValues - 1) + "end\n"},
    };
    for (const Case &each : cases) {
        SCOPED_TRACE(each.what);
        startWithStore(each.text);

        HKEY key = createKey();
        EXPECT_EQ(bytesOf(key, "Width"), std::string("\x20\x03\0\0", 4));
        setDword(key, "Width", 1024);
        setDword(key, "Height", 768);
        EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
        const std::string trace = seams::TakeDebugOutput();
        EXPECT_NE(trace.find("kept key \"Software\\Tarvos\""), std::string::npos) << trace;
        EXPECT_TRUE(readText(userFile().string() + ".damaged-1") == each.text);

        seams::ReloadRegistry();
        key = createKey();
        EXPECT_EQ(bytesOf(key, "Width"), std::string("\0\x04\0\0", 4));
        EXPECT_EQ(bytesOf(key, "Height"), std::string("\0\x03\0\0", 4));
        RegCloseKey(key);
        EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Foreign", 0, KEY_READ, &key),
                  ERROR_FILE_NOT_FOUND);
        EXPECT_EQ(seams::TakeDebugOutput(), "");
    }
}

// Whatever sits in the file's place, the load neither blocks nor reads through it: a named pipe
// or a device is set aside like a damaged file, a link to a regular file is read as that file.
// Each load runs in a child process, so a load that blocked would hang only the child.
TEST_F(RegistryFile, SpecialFilesInTheFilesPlaceAreSetAsideWithoutBlocking) {
    struct Case {
        const char *what;
        std::function<void(const fs::path &)> make;
        const char *trace; // empty: read as the file it links to
    };
    const Case cases[] = {
        {"named pipe", [](const fs::path &at) { ASSERT_EQ(::mkfifo(at.c_str(), 0600), 0); },
         "is damaged (a named pipe, not a regular file)"},
        {"link to a device", [](const fs::path &at) { fs::create_symlink("/dev/zero", at); },
         "is damaged (a link to a character device, not a regular file)"},
        {"link to a regular file",
         [this](const fs::path &at) {
             writeText(m_folder + "/elsewhere.reg", kClean);
             fs::create_symlink(m_folder + "/elsewhere.reg", at);
         },
         ""},
    };
    for (const Case &each : cases) {
        SCOPED_TRACE(each.what);
        seams::ReloadRegistry();
        fs::remove_all(m_folder);
        fs::create_directories(m_folder);
        each.make(userFile());

        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            HKEY key = nullptr;
            const LONG opened =
                RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tarvos", 0, KEY_READ, &key);
            const std::string trace = seams::TakeDebugOutput();
            const bool asExpected =
                *each.trace
                    ? opened == ERROR_FILE_NOT_FOUND &&
                          trace.find(userFile().string() + " " + each.trace) != std::string::npos
                    : opened == ERROR_SUCCESS && bytesOf(key, "Width").size() == 4 && trace.empty();
            ::_exit(asExpected ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        if (!*each.trace)
            continue;

        // Set aside as it was (a pipe stays a pipe, a link a link), and the next save makes a
        // regular file in its place.
        seams::ReloadRegistry();
        HKEY key = createKey();
        setDword(key, "Width", 640);
        EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(userFile())));
        EXPECT_TRUE(fs::exists(fs::symlink_status(userFile().string() + ".damaged-1")));
        seams::TakeDebugOutput();
    }
}

// A file where the store's folder should be is the user's: it is left alone, and every attempt to
// save says why it failed.
TEST_F(RegistryFile, AFileInTheFoldersPlaceIsNamedInEveryTrace) {
    const std::string folder = m_folder + "/tarvos";
    writeText(folder, "mine");
    seams::UseRegistryRoot(folder);
    for (int run = 0; run < 2; ++run) {
        seams::ReloadRegistry();
        HKEY key = createKey();
        setDword(key, "Width", 640);
        EXPECT_EQ(RegCloseKey(key), ERROR_CANTWRITE);
        const std::string trace = seams::TakeDebugOutput();
        EXPECT_NE(trace.find("the settings folder " + folder + " is a file, not a folder"),
                  std::string::npos)
            << trace;
        EXPECT_EQ(trace.find("damaged"), std::string::npos) << trace;
    }
    EXPECT_EQ(readText(folder), "mine");
}

} // namespace
