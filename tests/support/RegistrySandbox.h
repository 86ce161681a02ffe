#pragma once
// Gives a test its own HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE: both predefined keys
// are redirected (RegOverridePredefKey) onto fresh scratch keys for the sandbox's
// lifetime, so tests running side by side in one Wine prefix never see each other's
// settings, nor the user's. The scratch tree is deleted afterwards. Only the calling
// process is affected; COM class lookups go through HKCR and are not redirected.
#include "comkit/Handles.h"

#include <string>

namespace tx::test
{
class RegistrySandbox
{
  public:
    RegistrySandbox();
    ~RegistrySandbox();
    RegistrySandbox(const RegistrySandbox &) = delete;
    RegistrySandbox &operator=(const RegistrySandbox &) = delete;

    bool IsActive() const
    {
        return m_active;
    }
    // Path of the scratch root below the real HKEY_CURRENT_USER.
    const std::wstring &ScratchPath() const
    {
        return m_path;
    }

  private:
    std::wstring m_path;
    UniqueHKey m_user;
    UniqueHKey m_machine;
    bool m_active = false;
};
} // namespace tx::test
