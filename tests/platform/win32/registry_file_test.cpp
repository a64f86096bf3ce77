// The registry's file: where it lives, what a save writes, and what a load makes of files that
// are damaged (cut short, garbage, duplicates, oversized values, unreadable).
#include "registry_fixture.h"

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
        seams::ReloadRegistry();
        fs::remove_all(m_folder);
        fs::create_directories(m_folder);
        writeText(userFile(), damage.text);

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

TEST_F(RegistryFile, AFileWithMoreValuesThanTheLimitKeepsTheFirstOnes) {
    std::string text = "tarvos-registry 1\nkey \"Software\\Tarvos\"\n";
    for (std::size_t i = 0; i <= win32::registry::kMaxValues; ++i)
        text += "value \"v" + std::to_string(i) + "\" 4 4 01000000\n";
    text += "end\n";
    writeText(userFile(), text);

    HKEY key = createKey();
    EXPECT_EQ(bytesOf(key, "v0").size(), 4u);
    EXPECT_EQ(bytesOf(key, ("v" + std::to_string(win32::registry::kMaxValues - 1)).c_str()).size(),
              4u);
    EXPECT_EQ(bytesOf(key, ("v" + std::to_string(win32::registry::kMaxValues)).c_str()),
              "<missing>");
    RegCloseKey(key);
    const std::string trace = seams::TakeDebugOutput();
    EXPECT_NE(trace.find("more values than the limit"), std::string::npos) << trace;
}

} // namespace
