// Each test process gets its own registry roots: what a sandboxed test writes is
// invisible outside it and gone afterwards.
#include "tests/support/RegistrySandbox.h"

#include <shlwapi.h>

#include <gtest/gtest.h>

namespace
{
const wchar_t kHostKey[] = L"Software\\Vorn\\Tessaronix\\2.0\\TXHost";

bool ReadDword(HKEY root, const wchar_t *name, DWORD &value)
{
    DWORD size = sizeof(value);
    DWORD type = 0;
    return ::RegGetValueW(root, kHostKey, name, RRF_RT_REG_DWORD, &type, &value, &size) == ERROR_SUCCESS;
}

void WriteDword(HKEY root, const wchar_t *name, DWORD value)
{
    tx::UniqueHKey key;
    ASSERT_EQ(::RegCreateKeyExW(root, kHostKey, 0, nullptr, 0, KEY_WRITE, nullptr, key.Put(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(::RegSetValueExW(key.Get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&value),
                               sizeof(value)),
              ERROR_SUCCESS);
}
} // namespace

TEST(RegistrySandbox, WritesStayInsideAndVanish)
{
    // A value name no real setting uses, unique to this process.
    const std::wstring name = L"SandboxProbe" + std::to_wstring(::GetCurrentProcessId());
    DWORD value = 0;
    {
        tx::test::RegistrySandbox sandbox;
        ASSERT_TRUE(sandbox.IsActive());
        WriteDword(HKEY_CURRENT_USER, name.c_str(), 7);
        WriteDword(HKEY_LOCAL_MACHINE, name.c_str(), 9);
        ASSERT_TRUE(ReadDword(HKEY_CURRENT_USER, name.c_str(), value));
        EXPECT_EQ(value, 7u);

        // The shell's user-value functions see the sandbox too: current user first,
        // then local machine.
        DWORD type = 0, size = sizeof(value);
        ASSERT_EQ(::SHRegGetUSValueW(kHostKey, name.c_str(), &type, &value, &size, FALSE, nullptr, 0),
                  ERROR_SUCCESS);
        EXPECT_EQ(value, 7u);
        size = sizeof(value);
        ASSERT_EQ(::SHRegGetUSValueW(kHostKey, name.c_str(), &type, &value, &size, TRUE, nullptr, 0),
                  ERROR_SUCCESS);
        EXPECT_EQ(value, 9u);

    }
    EXPECT_FALSE(ReadDword(HKEY_CURRENT_USER, name.c_str(), value)) << "leaked into the real HKCU";
    EXPECT_FALSE(ReadDword(HKEY_LOCAL_MACHINE, name.c_str(), value)) << "leaked into the real HKLM";

    // The next sandbox starts empty.
    tx::test::RegistrySandbox next;
    ASSERT_TRUE(next.IsActive());
    EXPECT_FALSE(ReadDword(HKEY_CURRENT_USER, name.c_str(), value));
}
