#include "tests/support/RegistrySandbox.h"

#include <atomic>

namespace tx::test
{
namespace
{
std::atomic<unsigned> g_sandboxCounter{0};
}

RegistrySandbox::RegistrySandbox()
{
    m_path = L"Software\\TessaronixTestSandbox\\" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
             std::to_wstring(++g_sandboxCounter);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, m_path.c_str());
    const std::wstring user = m_path + L"\\HKCU";
    const std::wstring machine = m_path + L"\\HKLM";
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, user.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                          nullptr, m_user.Put(), nullptr) != ERROR_SUCCESS)
        return;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, machine.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                          nullptr, m_machine.Put(), nullptr) != ERROR_SUCCESS)
        return;
    if (::RegOverridePredefKey(HKEY_CURRENT_USER, m_user.Get()) != ERROR_SUCCESS)
        return;
    if (::RegOverridePredefKey(HKEY_LOCAL_MACHINE, m_machine.Get()) != ERROR_SUCCESS)
    {
        ::RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        return;
    }
    m_active = true;
}

RegistrySandbox::~RegistrySandbox()
{
    if (m_active)
    {
        ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        ::RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    }
    m_user.Reset();
    m_machine.Reset();
    ::RegDeleteTreeW(HKEY_CURRENT_USER, m_path.c_str());
}
} // namespace tx::test
