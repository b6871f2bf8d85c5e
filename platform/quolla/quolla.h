// quolla.h - the configuration library: a document of services, each with
// named sections of keyed, typed values.
//
//   Beach            the document (one JSON file on disk)
//   Quolla           handle of one section of one service
//   QuoVal           typed value; QuoValOf<T> holds one T
//   QuoVGServerIp    one filter server record
//   QuoSievex        one filter group record
//   QuoPtrMap<T>     string-keyed map of owned records, in insertion order
//   QuoSchema        what a document's owner knows of it: its keys' kinds
//   QuoFault         one value that open() refuses, for a check of a document
//   QuoMerger        what settles a save that another save came before
//
// Kinds and their type names:
//   int "int", CString "CString", CStringList* "CStringList *",
//   QuoVGServerIpMap "QuoVGServerIpMap", QuoSievexMap "QuoSievexMap".
#pragma once

#include "afx.h"
#include "afxtempl.h"

#ifdef QUOLLA_BUILDING
#define QUO_API __declspec(dllexport)
#else
#define QUO_API __declspec(dllimport)
#endif

/////////////////////////////////////////////////////////////////////////////
// Records

class QUO_API QuoVGServerIp
{
public:
    QuoVGServerIp() : port(0), position(0) {}
    QuoVGServerIp(const CString& a, int p, int pos) : address(a), port(p), position(pos) {}
    QuoVGServerIp(const QuoVGServerIp& other) = default;
    QuoVGServerIp& operator=(const QuoVGServerIp& other) = default;

    CString address;
    int port;
    int position;
};

class QUO_API QuoSievex
{
public:
    QuoSievex() : nonOpBlockAll(false), opBlockAll(false) {}
    QuoSievex(const QuoSievex& other);
    QuoSievex& operator=(const QuoSievex& other);

    CString opMask;
    CString schedule;
    CString nonOpMask;
    CString reserved;
    CStringArray members;
    bool nonOpBlockAll;
    bool opBlockAll;
};

// A map from key to an owned record. Enumeration follows insertion order;
// replacing a key keeps its place and deletes the record it held. Keys are
// found through an index, so a map of many records fills in linear time.
class QuoPtrMapSlots;

class QUO_API QuoPtrMapBase
{
public:
    QuoPtrMapBase() : m_slots(NULL) {}
    QuoPtrMapBase(const QuoPtrMapBase&) = delete;
    QuoPtrMapBase& operator=(const QuoPtrMapBase&) = delete;

    int GetCount() const;
    BOOL IsEmpty() const { return GetCount() == 0; }
    POSITION GetStartPosition() const { return GetCount() ? (POSITION)(INT_PTR)1 : NULL; }

protected:
    ~QuoPtrMapBase();
    int IndexOf(LPCTSTR key) const;             // -1 when absent
    void* ValueAt(int index) const;
    void* SetRaw(LPCTSTR key, void* value);     // returns the replaced value
    void* RemoveRaw(LPCTSTR key);              // returns the removed value
    void RemoveAllRaw();
    void GetNextRaw(POSITION& pos, CString& key, void*& value) const;

private:
    QuoPtrMapSlots* m_slots;  // made with the first key
};

template <class T>
class QuoPtrMap : public QuoPtrMapBase
{
public:
    QuoPtrMap() {}
    ~QuoPtrMap() { RemoveAll(); }

    BOOL Lookup(LPCTSTR key, T*& rValue) const
    {
        int i = IndexOf(key);
        if (i < 0)
            return FALSE;
        rValue = static_cast<T*>(ValueAt(i));
        return TRUE;
    }
    // Takes ownership of newValue.
    void SetAt(LPCTSTR key, T* newValue)
    {
        T* old = static_cast<T*>(SetRaw(key, newValue));
        if (old != newValue)
            delete old;
    }
    BOOL RemoveKey(LPCTSTR key)
    {
        if (IndexOf(key) < 0)
            return FALSE;
        delete static_cast<T*>(RemoveRaw(key));
        return TRUE;
    }
    // Deletes every record and empties the map.
    void RemoveAll()
    {
        for (int i = 0; i < GetCount(); ++i)
            delete static_cast<T*>(ValueAt(i));
        RemoveAllRaw();
    }
    void GetNextAssoc(POSITION& rNextPosition, CString& rKey, T*& rValue) const
    {
        void* v;
        GetNextRaw(rNextPosition, rKey, v);
        rValue = static_cast<T*>(v);
    }
};

typedef QuoPtrMap<QuoVGServerIp> QuoVGServerIpMap;
typedef QuoPtrMap<QuoSievex> QuoSievexMap;

/////////////////////////////////////////////////////////////////////////////
// Typed values

class QUO_API QuoVal
{
public:
    virtual ~QuoVal();
    virtual CString typeName() const = 0;
};

template <class T> struct QuoTypeName;
template <> struct QuoTypeName<int> { static LPCTSTR name() { return "int"; } };
template <> struct QuoTypeName<CString> { static LPCTSTR name() { return "CString"; } };
template <> struct QuoTypeName<CStringList*> { static LPCTSTR name() { return "CStringList *"; } };
template <> struct QuoTypeName<QuoVGServerIpMap> { static LPCTSTR name() { return "QuoVGServerIpMap"; } };
template <> struct QuoTypeName<QuoSievexMap> { static LPCTSTR name() { return "QuoSievexMap"; } };

template <class T>
class QuoValOf : public QuoVal
{
public:
    QuoValOf() : value() {}
    explicit QuoValOf(const T& v) : value(v) {}
    virtual CString typeName() const override { return QuoTypeName<T>::name(); }
    T value;
};

/////////////////////////////////////////////////////////////////////////////
// What the owner of a document's values tells the store of them
//
// The library knows no section or key of its own: whoever opens a document
// says which keys it reads and into which kind of holder. Those values are
// checked when the document is opened (shape, texts, the owner's rule) and
// built at once; everything else is checked as JSON and kept as its text.

// A rule on a text value beyond its shape: false, with the reason worded to
// follow the key's name ("is 40000 characters long; ...").
typedef bool (*QuoTextRule)(const CString& text, CString& reason);

struct QuoKeyShape
{
    LPCTSTR section;
    LPCTSTR key;
    LPCTSTR typeName;   // the type name of the holder it is read into
    QuoTextRule rule;   // NULL: none
};

struct QuoSchema
{
    const QuoKeyShape* keys;
    int count;
};

// A value that open() refuses: where it is and why. For a fault of the
// document's frame (not an object, a service or section that is not an
// object) and for a text that does not parse, key (and section, service)
// are empty.
struct QuoFault
{
    int line;           // 1-based
    CString service;
    CString section;
    CString key;
    CString what;       // the reason alone: "must be an integer"
    CString message;    // as open() says it, after "FILE: line N: "
};
typedef CArray<QuoFault, const QuoFault&> QuoFaultArray;

/////////////////////////////////////////////////////////////////////////////
// Settling a save that another save came before
//
// The library cannot tell what a document's values mean; their owner can.
// Given to Beach::setMerger(), a merger is asked for one document that holds
// both saves when save() finds the file changed since it was read.

class QUO_API QuoMerger
{
public:
    virtual ~QuoMerger();
    // base: the document as read (or last saved); mine: as this save would
    // write it; theirs: as the file holds it now; all UTF-8. True with the
    // document that holds both saves in merged; false when they conflict.
    virtual bool merge(const CString& base, const CString& mine, const CString& theirs, CString& merged) = 0;
};

/////////////////////////////////////////////////////////////////////////////
// Sections and the document

class QUO_API Quolla
{
public:
    virtual ~Quolla();                                                  // slot 0
    virtual bool getProp(const CString& key, QuoVal& value) = 0;       // slot 1
    virtual bool setProp(const CString& key, const QuoVal& value) = 0; // slot 2
    virtual bool delProp(const CString& key) = 0;                      // slot 3
    virtual bool submit() = 0;                                          // slot 4
    virtual bool submitSection(const CString&, const CString&)          // slot 5
    {
        return submit();
    }
    virtual CString sectionName() const = 0;                            // slot 6
    virtual CString serviceName() const = 0;                            // slot 7
};

class BeachImpl;

class QUO_API Beach
{
public:
    Beach();
    ~Beach();
    Beach(const Beach&) = delete;
    Beach& operator=(const Beach&) = delete;

    // The largest document open() reads, far beyond any real policy.
    enum { maxDocumentBytes = 64 * 1024 * 1024 };

    // Reads the document. A file that does not parse, whose known keys hold
    // values of the wrong shape, or whose known texts the process code page
    // cannot hold or hold U+0000, is refused: false, with a message that
    // names the file, the line and the key; nothing is kept. So is a folder,
    // a file larger than maxDocumentBytes, and a document that does not fit
    // in memory (the message names the line where reading stopped). What the
    // store does not own is checked but kept as text until it is asked for.
    // The keys the schema names are the known keys; without a schema the
    // document is checked as JSON alone.
    bool open(const CString& path, CString& error, const QuoSchema* schema = NULL);
    // The same for a text in memory; name stands for the file in messages.
    bool openText(const CString& utf8Text, const CString& name, CString& error,
                  const QuoSchema* schema = NULL);
    // For a check of a document: opens it as far as it can be read and
    // lists every fault that open() would refuse, in the file's order; a
    // known value with a fault reads as absent. False, with the message,
    // when nothing can be read: the file cannot be read, is too large, does
    // not parse (faults then holds that one fault) or is not a document. A
    // document opened so is never saved.
    bool inspect(const CString& path, CString& error, const QuoSchema* schema, QuoFaultArray& faults);
    bool inspectText(const CString& utf8Text, const CString& name, CString& error, const QuoSchema* schema,
                     QuoFaultArray& faults);
    // Writes the whole document durably to the file its path reaches
    // (through links): a new file beside it, then one replacing step. A
    // read-only file is not replaced. On failure the old file is untouched
    // and the message names the file and says so. Quolla::submit() is this.
    // A file that no longer holds what was read from it (or last saved) was
    // changed by someone else: it is left as it is, this document is kept
    // beside it under a name the message gives, and saving the same edits
    // again says so again without keeping them twice. New files that saves
    // killed on the way left beside the file are removed.
    // With a merger, a file changed since is merged with instead: the
    // merged document is written (with the same check, against the file as
    // merged with) and becomes this document; only when the merger finds
    // the two saves in conflict is the save refused as above.
    bool save(CString& error);
    // The merger that save() asks (not owned; NULL: none).
    void setMerger(QuoMerger* merger);
    // Whether save() could write the file now, found without changing
    // anything that stays: false, with a message that names the file and
    // says why, for a read-only file, a folder or volume where no file can
    // be made, and a document opened for a check.
    bool canSave(CString& error) const;
    // Edits that may be taken back. After holdEdits(), takeBackEdits() puts
    // every section changed since back as it stood, and isModified() as it
    // was; keepEdits() lets them stand. A section is copied as it first
    // changes, so what does not change costs nothing. One hold at a time:
    // holding again lets what was held stand.
    void holdEdits();
    void takeBackEdits();
    void keepEdits();
    // Whether setProp or delProp has been called since the document was
    // opened or last saved (setting an equal value counts: it was asked to
    // be written).
    bool isModified() const;
    // The document as save() would write it (UTF-8): the text as it was read,
    // with only what has been set since written anew.
    CString text() const;
    // A small document of one service's known values as they stand now, and
    // nothing else: it opens with the same schema and reads alike, at the
    // cost of those values alone (to tell later what an edit changed).
    CString knownText(const CString& serviceName) const;
    // The document without the known values: what other tools own, as it
    // stands (to tell whether two versions differ in anything but those).
    CString foreignText() const;
    CString path() const;

    // Whether the document has a service of this name (with or without sections).
    bool hasService(const CString& serviceName) const;
    // The names of its services, in the file's order.
    void getServiceNames(CStringArray& names) const;
    // The line where a value stands in the file as read: the key's value in
    // a section, or a record of a map (member), or a record's field, or an
    // item (0-based) of the array found so; 0 when there is no such value
    // or it was set since the document was read.
    int lineOf(const CString& serviceName, const CString& sectionName, const CString& key,
               LPCTSTR member = NULL, LPCTSTR field = NULL, int item = -1) const;
    // The lines of all the records of a map at once, in the file's order:
    // each record's, or with a field each record's field (0 where it has
    // none). Empty when the key holds no map.
    void recordLines(const CString& serviceName, const CString& sectionName, const CString& key, LPCTSTR field,
                     CArray<int, int>& lines) const;

    Quolla* digQuolla(const CString& sectionName, const CString& serviceName);
    bool tossQuolla(Quolla*& section);

private:
    BeachImpl* m_impl;
};
