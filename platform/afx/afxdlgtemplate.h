// afxdlgtemplate.h - a dialog template of the resource chain read as data,
// without a window: its style, place and caption, and its controls with
// their texts and places.
#pragma once

#include "afx.h"
#include "afxtempl.h"

struct AFX_CORE_API DialogTemplateItem
{
    UINT id;            // (UINT)-1 for a label without an identifier
    DWORD style;
    CString className;  // "Button", "Edit", "Static", ... or the class name given
    CString text;       // empty for a picture or a control without a caption
    int x, y, cx, cy;   // dialog units

    BOOL IsGroupBox() const { return className == "Button" && (style & 0x0F) == BS_GROUPBOX; }
    BOOL IsCheckBox() const;
    // A static control that shows text (not a picture or a frame).
    BOOL IsText() const;
};

struct AFX_CORE_API DialogTemplate
{
    DWORD style = 0;
    int x = 0, y = 0;  // dialog units
    CString caption;
    CArray<DialogTemplateItem, const DialogTemplateItem&> items;

    // FALSE when the resource chain holds no such template.
    BOOL Load(LPCTSTR lpszTemplateName);
    BOOL Load(UINT nIDTemplate) { return Load(MAKEINTRESOURCE(nIDTemplate)); }
    // NULL when no control has this identifier.
    const DialogTemplateItem* Find(UINT id) const;
};
