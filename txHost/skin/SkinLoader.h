#pragma once
// The skin loader's tag table: which XML tag makes which element class, and the parts of
// attributes (the element's own, and named sub-tags) that fill it.
#include "txHost/skin/SkinAttributeXml.h"
#include "txHost/skin/SkinCreators.h"

struct SkinTagRow
{
    const wchar_t *tag;
    const SkinAttrPart *parts; // the first part is the element's own (no sub-tag)
    size_t partCount;
    bool definitionOnly;    // read only directly under the skin root (dialog)
    SkinTagCreator creator; // null for definition-only tags
};

// The row whose tag equals name exactly and whose definition-only flag equals
// definitionOnly; null when none.
const SkinTagRow *FindSkinTag(const wchar_t *name, bool definitionOnly) noexcept;

// The files of a skin installation, relative to the folder of the program.
namespace tx::skin
{
inline constexpr wchar_t kStringTablesFolder[] = L"\\StringTables\\";
inline constexpr wchar_t kSkinsFolder[] = L"\\Skins\\";
inline constexpr wchar_t kDefaultLanguage[] = L"English";
inline constexpr wchar_t kDefaultSkin[] = L"Default";
// Whether a language or skin name from the settings can name a file in its folder (no
// path separators, drive or parent references); others are treated as unset.
bool IsPlainFileName(const wchar_t *name) noexcept;
} // namespace tx::skin
