#include "MimeCatalogue.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

const char kBaseName[] = "mimetypes.";
const char kUserName[] = "mimetypes.usr";

CString JoinPath(const CString& folder, LPCTSTR name)
{
    // The folder comes without a trailing separator; one that has it anyway
    // is not given a second.
    int n = folder.GetLength();
    if (n > 0 && (folder[n - 1] == '\\' || folder[n - 1] == '/'))
        return folder + name;
    return folder + "\\" + name;
}

// One line of the file, however long, with its line feed when it has one.
// FALSE at the end of the file.
bool ReadLine(FILE* file, CString& line)
{
    char buffer[1024];
    line.Empty();
    while (fgets(buffer, sizeof buffer, file) != NULL) {
        line += buffer;
        if (!line.IsEmpty() && line[line.GetLength() - 1] == '\n')
            return true;
    }
    return !line.IsEmpty();
}

void ReadCatalogueFile(const CString& path, MimeCatalogue& catalogue)
{
    FILE* file = fopen(path, "r");
    if (file == NULL)
        return;
    CString line;
    CStringArray fields;
    while (ReadLine(file, line)) {
        int count = SplitLine(line, "\t", fields);
        if (count != 1 && count != 2)
            continue;
        MimeTypeEntry entry;
        entry.m_type = fields[0];
        if (count == 2)
            entry.m_description = fields[1];
        if (!entry.m_type.IsEmpty())
            catalogue.Add(entry);
    }
    fclose(file);
}

// Whether the file is there and its last character is not a line feed: a
// line added to it would otherwise be glued to its last line.
bool EndsInsideALine(const CString& path)
{
    FILE* file = fopen(path, "rb");
    if (file == NULL)
        return false;
    bool inside = fseek(file, -1, SEEK_END) == 0 && fgetc(file) != '\n';
    fclose(file);
    return inside;
}

} // namespace

CString MimeCataloguePath(const CString& catalogueDir) { return JoinPath(catalogueDir, kBaseName); }
CString UserMimeCataloguePath(const CString& catalogueDir) { return JoinPath(catalogueDir, kUserName); }

void LoadMimeCatalogue(const CString& catalogueDir, MimeCatalogue& catalogue)
{
    catalogue.RemoveAll();
    ReadCatalogueFile(MimeCataloguePath(catalogueDir), catalogue);
    ReadCatalogueFile(UserMimeCataloguePath(catalogueDir), catalogue);
}

int SplitLine(LPCTSTR line, LPCTSTR separators, CStringArray& fields)
{
    char* copy = _strdup(line);
    if (copy == NULL)
        return -1;
    fields.RemoveAll();
    for (char* token = strtok(copy, separators); token != NULL; token = strtok(NULL, separators)) {
        CString field = token;
        int lineFeed = field.ReverseFind('\n');
        if (lineFeed >= 0)
            field = field.Left(lineFeed);
        fields.Add(field);
    }
    free(copy);
    return fields.GetSize();
}

const MimeTypeEntry* FindMimeType(const MimeCatalogue& catalogue, LPCTSTR type)
{
    for (int i = 0; i < catalogue.GetSize(); ++i)
        if (strcmp(catalogue[i].m_type, type) == 0)
            return &catalogue[i];
    return NULL;
}

BOOL AppendUserMimeType(const CString& catalogueDir, const CString& type, const CString& description)
{
    CString path = UserMimeCataloguePath(catalogueDir);
    CString line = type + "\t" + description + "\n";
    if (EndsInsideALine(path))
        line = "\n" + line;
    FILE* file = fopen(path, "a+");
    if (file == NULL)
        return FALSE;
    bool written = fputs(line, file) >= 0;
    return fclose(file) == 0 && written;
}
