// DialogTemplate.h - a dialog template of the module read as data, without
// a window: its caption and its controls with their texts and places, for
// the texts that name settings in messages and reports.
#pragma once

#include "afx.h"
#include "afxtempl.h"

struct DialogTemplateItem
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

struct DialogTemplate
{
    CString caption;
    CArray<DialogTemplateItem, const DialogTemplateItem&> items;

    // FALSE when the resource chain holds no such template.
    BOOL Load(UINT nIDTemplate);
    // NULL when no control has this identifier.
    const DialogTemplateItem* Find(UINT id) const;
};
