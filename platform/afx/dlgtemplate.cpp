#include "afxdlgtemplate.h"
#include "afxwin.h"

namespace {

// Reads a template in the order its fields are laid out (DLGTEMPLATE or
// DLGTEMPLATEEX, with their items).
class TemplateReader
{
public:
    TemplateReader(const BYTE* p, const BYTE* end) : m_p(p), m_end(end) {}

    bool Ok() const { return m_p <= m_end; }
    WORD Word()
    {
        WORD w = 0;
        if (m_p + 2 <= m_end)
            memcpy(&w, m_p, 2);
        m_p += 2;
        return w;
    }
    DWORD Dword()
    {
        DWORD lo = Word();
        return lo | ((DWORD)Word() << 16);
    }
    short Short() { return (short)Word(); }
    // A string or an ordinal (0xFFFF and a number); an ordinal gives "".
    CString StringOrOrdinal(WORD* pOrdinal = NULL)
    {
        if (m_p + 2 <= m_end && *(const WORD*)m_p == 0xFFFF) {
            Word();
            WORD ordinal = Word();
            if (pOrdinal)
                *pOrdinal = ordinal;
            return CString();
        }
        if (pOrdinal)
            *pOrdinal = 0;
        return String();
    }
    CString String()
    {
        const BYTE* start = m_p;
        int length = 0;
        while (m_p + 2 <= m_end && Word() != 0)
            ++length;
        CString text;
        if (length > 0) {
            int bytes = WideCharToMultiByte(CP_ACP, 0, (LPCWSTR)start, length, NULL, 0, NULL, NULL);
            LPSTR buffer = text.GetBuffer(bytes);
            WideCharToMultiByte(CP_ACP, 0, (LPCWSTR)start, length, buffer, bytes, NULL, NULL);
            text.ReleaseBuffer(bytes);
        }
        return text;
    }
    void Skip(size_t bytes) { m_p += bytes; }
    void AlignTo4(const BYTE* base) { m_p = base + ((m_p - base + 3) & ~(size_t)3); }

private:
    const BYTE* m_p;
    const BYTE* m_end;
};

CString ClassOfAtom(WORD atom)
{
    switch (atom) {
    case 0x80: return "Button";
    case 0x81: return "Edit";
    case 0x82: return "Static";
    case 0x83: return "ListBox";
    case 0x84: return "ScrollBar";
    case 0x85: return "ComboBox";
    }
    return CString();
}

} // namespace

BOOL DialogTemplateItem::IsCheckBox() const
{
    DWORD type = style & 0x0F;
    return className == "Button" &&
           (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE);
}

BOOL DialogTemplateItem::IsText() const
{
    DWORD type = style & SS_TYPEMASK;
    return className == "Static" && !text.IsEmpty() && (type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT ||
                                                       type == SS_LEFTNOWORDWRAP || type == SS_SIMPLE);
}

BOOL DialogTemplate::Load(LPCTSTR name)
{
    style = 0;
    x = y = 0;
    caption.Empty();
    items.RemoveAll();
    HINSTANCE hInst = AfxFindResourceHandle(name, RT_DIALOG);
    HRSRC hRes = hInst ? FindResource(hInst, name, RT_DIALOG) : NULL;
    HGLOBAL hData = hRes ? LoadResource(hInst, hRes) : NULL;
    const BYTE* base = hData ? (const BYTE*)LockResource(hData) : NULL;
    if (base == NULL)
        return FALSE;
    TemplateReader r(base, base + SizeofResource(hInst, hRes));

    const bool extended = ((const WORD*)base)[0] == 1 && ((const WORD*)base)[1] == 0xFFFF;
    if (extended) {
        r.Skip(4 + 4 + 4);  // version and signature, help id, extended style
        style = r.Dword();
    } else {
        style = r.Dword();
        r.Skip(4);  // extended style
    }
    int count = r.Word();
    x = r.Short();
    y = r.Short();
    r.Skip(2 * 2);  // cx, cy
    r.StringOrOrdinal();  // menu
    r.StringOrOrdinal();  // class
    caption = r.String();
    if (style & (DS_SETFONT | DS_SHELLFONT)) {
        r.Skip(2);  // point size
        if (extended)
            r.Skip(2 + 1 + 1);  // weight, italic, character set
        r.String();
    }
    for (int i = 0; i < count && r.Ok(); ++i) {
        r.AlignTo4(base);
        DialogTemplateItem item;
        if (extended) {
            r.Skip(4 + 4);  // help id, extended style
            item.style = r.Dword();
        } else {
            item.style = r.Dword();
            r.Skip(4);
        }
        item.x = r.Short();
        item.y = r.Short();
        item.cx = r.Short();
        item.cy = r.Short();
        item.id = extended ? (UINT)(int)(LONG)r.Dword() : (UINT)(int)r.Short();
        WORD atom = 0;
        item.className = r.StringOrOrdinal(&atom);
        if (atom != 0)
            item.className = ClassOfAtom(atom);
        item.text = r.StringOrOrdinal();
        r.Skip(r.Word());  // creation data
        if (r.Ok())
            items.Add(item);
    }
    return r.Ok();
}

const DialogTemplateItem* DialogTemplate::Find(UINT id) const
{
    for (int i = 0; i < items.GetSize(); ++i)
        if (items[i].id == id)
            return &items[i];
    return NULL;
}
