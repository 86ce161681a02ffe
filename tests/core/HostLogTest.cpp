// The host log: byte-exact lines in the file, appending, the on-screen mirror with its
// bounded tail, whole lines under concurrent writers, and the comkit failure route.
#include "comkit/HResult.h"
#include "tests/support/RegistrySandbox.h"
#include "tests/support/TestPaths.h"
#include "txHost/core/HostLog.h"
#include "txHost/core/HostSettings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using namespace tx::host;

namespace
{
std::string ReadFileBytes(const std::wstring &path)
{
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class HostLogTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        m_folder = tx::test::MakeScratchFolder(L"hostlog");
        m_path = m_folder + L"\\host.log";
    }
    void TearDown() override
    {
        tx::test::RemoveFolder(m_folder);
    }
    std::wstring m_folder;
    std::wstring m_path;
};

// {5E91AF27-24D3-47AC-9C55-132F04C98281}
constexpr GUID kGuid = {0x5E91AF27, 0x24D3, 0x47AC, {0x9C, 0x55, 0x13, 0x2F, 0x04, 0xC9, 0x82, 0x81}};
} // namespace

TEST_F(HostLogTest, EachOperationWritesItsLineByteForByte)
{
    {
        CHostLog log;
        ASSERT_TRUE(log.OpenFile(m_path.c_str()));
        log.LogHResult(S_OK, L"Failed to run");
        log.LogHResult(S_FALSE, L"Failed to run");
        log.LogHResultGuid(S_OK, L"Failed to create", kGuid);
        log.LogHResult(E_FAIL, L"Failed to set rect");
        log.LogMessage(L"Country code is 49");
        log.LogMessage(nullptr);
        log.LogMessagePair(L"Decoder: ", L"rmmpeg2.ax");
        log.LogHResultGuid(E_NOINTERFACE, L"Failed to create filter", kGuid);
        log.LogFourCC(L"Video type", 0x44495658);
        log.LogFourCC(L"Short", 0x00003259);
        log.LogFourCCGuid(L"Subtype", 0x44495658, kGuid);
        log.LogFourCCText(L"Codec", 0x44495658, L"software");
    }
    EXPECT_EQ(ReadFileBytes(m_path), "-Failed to set rect, 0x80004005\r\n"
                                     "-Country code is 49\r\n"
                                     "-\r\n"
                                     "-Decoder: rmmpeg2.ax\r\n"
                                     "-Failed to create filter, {5E91AF27-24D3-47AC-9C55-132F04C98281}, 0x80004002\r\n"
                                     "-Video type, XVID\r\n"
                                     "-Short, Y2\r\n"
                                     "-Subtype, XVID, {5E91AF27-24D3-47AC-9C55-132F04C98281}\r\n"
                                     "-Codec, XVID, software\r\n");
}

TEST_F(HostLogTest, AnExistingLogIsContinued)
{
    {
        std::ofstream out(std::filesystem::path(m_path), std::ios::binary);
        out << std::string(1000, 'a');
    }
    {
        CHostLog log;
        ASSERT_TRUE(log.OpenFile(m_path.c_str()));
        log.LogMessage(L"next");
    }
    const std::string bytes = ReadFileBytes(m_path);
    ASSERT_EQ(bytes.size(), 1000u + 7u);
    EXPECT_EQ(bytes.substr(0, 1000), std::string(1000, 'a'));
    EXPECT_EQ(bytes.substr(1000), "-next\r\n");
}

TEST_F(HostLogTest, TheSettingLogNamesTheFile)
{
    tx::test::RegistrySandbox sandbox;
    ASSERT_TRUE(sandbox.IsActive());
    {
        CHostLog log;
        log.OpenFromSettings();
        EXPECT_FALSE(log.HasFile()); // no value: no log
    }
    WriteHostString(L"Log", L"");
    {
        CHostLog log;
        log.OpenFromSettings();
        EXPECT_FALSE(log.HasFile());
    }
    WriteHostDword(L"Log", 1);
    {
        CHostLog log;
        log.OpenFromSettings();
        EXPECT_FALSE(log.HasFile());
    }
    WriteHostString(L"Log", m_path.c_str());
    {
        CHostLog log;
        log.OpenFromSettings();
        ASSERT_TRUE(log.HasFile());
        log.LogMessage(L"from settings");
    }
    EXPECT_EQ(ReadFileBytes(m_path), "-from settings\r\n");
}

TEST_F(HostLogTest, TheMirrorUsesLineFeedsAndKeepsABoundedTail)
{
    CHostLog log;
    log.LogMessage(L"lost"); // neither file nor mirror: nothing
    log.SetOsdMirror(true);
    log.LogMessage(L"one");
    log.LogHResult(S_OK, L"nothing");
    log.LogHResult(E_FAIL, L"Failed two");
    EXPECT_EQ(log.OsdText(), L"-one\n-Failed two, 0x80004005\n");

    const unsigned before = log.OsdTextVersion();
    for (int i = 0; i < 5000; ++i)
        log.LogMessage((L"line " + std::to_wstring(i)).c_str());
    EXPECT_NE(log.OsdTextVersion(), before);
    const std::wstring tail = log.OsdText();
    EXPECT_LE(tail.size(), CHostLog::kOsdTailChars);
    EXPECT_GT(tail.size(), CHostLog::kOsdTailChars - 20);
    EXPECT_EQ(tail.front(), L'-'); // starts at a whole line
    EXPECT_EQ(tail.substr(tail.size() - 11), L"-line 4999\n");
}

TEST_F(HostLogTest, LinesOfConcurrentWritersStayWhole)
{
    constexpr int kThreads = 8;
    constexpr int kLines = 1000;
    {
        CHostLog log;
        ASSERT_TRUE(log.OpenFile(m_path.c_str()));
        log.SetOsdMirror(true);
        std::vector<std::thread> writers;
        for (int t = 0; t < kThreads; ++t)
            writers.emplace_back([&log, t] {
                const std::wstring prefix = L"writer " + std::to_wstring(t) + L" line ";
                for (int i = 0; i < kLines; ++i)
                    log.LogMessagePair(prefix.c_str(), std::to_wstring(i).c_str());
            });
        for (std::thread &writer : writers)
            writer.join();
    }
    const std::string bytes = ReadFileBytes(m_path);
    std::vector<int> next(kThreads, 0);
    size_t lines = 0;
    size_t start = 0;
    while (start < bytes.size())
    {
        const size_t end = bytes.find("\r\n", start);
        ASSERT_NE(end, std::string::npos);
        const std::string line = bytes.substr(start, end - start);
        int t = -1, i = -1;
        ASSERT_EQ(std::sscanf(line.c_str(), "-writer %d line %d", &t, &i), 2) << line;
        ASSERT_TRUE(t >= 0 && t < kThreads);
        EXPECT_EQ(line, "-writer " + std::to_string(t) + " line " + std::to_string(i));
        EXPECT_EQ(i, next[t]++); // each writer's lines in its order
        ++lines;
        start = end + 2;
    }
    EXPECT_EQ(lines, static_cast<size_t>(kThreads * kLines));
}

TEST_F(HostLogTest, ComkitFailuresGoToTheHostLogWhileInstalled)
{
    {
        CHostLog log;
        ASSERT_TRUE(log.OpenFile(m_path.c_str()));
        {
            FailureLoggerScope scope(log);
            tx::LogFailure(E_OUTOFMEMORY, L"Failed to allocate");
            tx::LogFailure(S_OK, L"Not a failure");
        }
        tx::LogFailure(E_FAIL, L"After the scope");
    }
    EXPECT_EQ(ReadFileBytes(m_path), "-Failed to allocate, 0x8007000e\r\n");
}
