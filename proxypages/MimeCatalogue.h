// The MIME type catalogue: the content types an administrator can pick as
// safe, each with a short description. It lives in two text files of the
// catalogue folder: "mimetypes", the base catalogue that is only read, and
// "mimetypes.usr", to which the types the administrator defines are added.
//
// One entry a line: the type, one or more tabs, an optional description, the
// line end. Tabs before the type are skipped; blanks belong to the text.
// A line that does not split into one or two fields, or whose type is
// empty, is no entry.
#pragma once

#include "afx.h"
#include "afxtempl.h"
#include "VeilgateApi.h"

struct VG_API MimeTypeEntry
{
    CString m_type;
    CString m_description;  // empty when the line had none
};

// The base catalogue's entries in file order, then the user catalogue's.
// Not sorted; a type may be there more than once.
typedef CArray<MimeTypeEntry, const MimeTypeEntry&> MimeCatalogue;

// The files' paths: the folder, a backslash, the name. The base catalogue is
// named "mimetypes." so that the name has an empty extension.
VG_API CString MimeCataloguePath(const CString& catalogueDir);
VG_API CString UserMimeCataloguePath(const CString& catalogueDir);

// Empties the catalogue, then reads the base and the user catalogue. A file
// that cannot be opened contributes nothing.
VG_API void LoadMimeCatalogue(const CString& catalogueDir, MimeCatalogue& catalogue);

// Cuts a line into its fields: runs of separator characters count as one,
// no field is empty, and a field that holds a line feed ends before the
// last one. The number of fields, or -1 when the line could not be copied.
VG_API int SplitLine(LPCTSTR line, LPCTSTR separators, CStringArray& fields);

// The first entry whose type is exactly the text (case counts), or NULL.
VG_API const MimeTypeEntry* FindMimeType(const MimeCatalogue& catalogue, LPCTSTR type);

// Adds the line "type<tab>description" to the user catalogue, creating the
// file when there is none. FALSE when the file cannot be opened for
// appending or the line could not be written whole.
VG_API BOOL AppendUserMimeType(const CString& catalogueDir, const CString& type, const CString& description);
