#pragma once
// Filling element fields from the attributes of an XML element of skin.xml.
#include "txHost/skin/SkinAttributes.h"
#include "txHost/skin/SkinCreators.h"

#include "comkit/Msxml.h"

// One part of a tag's attributes: the sub-tag they are read from (null: the element's own
// XML element), its rows, and the creator of a child element (null: the sub-tag fills
// fields of the element itself).
struct SkinAttrPart
{
    const wchar_t *subTag;
    const tx::skin::SkinAttrRow *rows;
    size_t rowCount;
    SkinTagCreator childCreator;
};

// Fills the fields of part's rows in object (as the rows' accessors expect it) from node.
// Without overlay, fields of absent attributes are reset to their defaults; with overlay
// they keep their values. The first failing read or an unknown type code ends the call
// with its result (fields already applied keep their values). E_OUTOFMEMORY when a string
// cannot be copied.
HRESULT ApplySkinAttributes(const SkinAttrPart &part, IXMLDOMElement *node, void *object, bool overlay) noexcept;

// One row of the skin loader's tag table: the tag, its attribute parts (the element's own
// rows first, with subTag null), whether it is read only as a definition under the skin
// root (dialog), and its creator (null for definitions).
struct SkinTagEntry
{
    const wchar_t *tag;
    const SkinAttrPart *parts;
    size_t partCount;
    bool definitionOnly;
    SkinTagCreator creator;
};

// The entry of table whose tag equals name exactly and whose definition-only flag equals
// definitionOnly; null when none matches.
const SkinTagEntry *FindSkinTag(const SkinTagEntry *table, size_t count, const wchar_t *name,
                                bool definitionOnly) noexcept;
