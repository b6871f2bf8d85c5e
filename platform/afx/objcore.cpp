// CObject, run-time classes, exceptions.
#include "afx.h"
#include <string.h>
#include <stdio.h>

static CRuntimeClass* s_pFirstClass = NULL;

CObject* CRuntimeClass::CreateObject()
{
    return m_pfnCreateObject ? (*m_pfnCreateObject)() : NULL;
}

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const
{
    for (const CRuntimeClass* p = this; p != NULL; p = p->m_pBaseClass)
        if (p == pBaseClass)
            return TRUE;
    return FALSE;
}

CRuntimeClass* PASCAL CRuntimeClass::FromName(LPCSTR lpszClassName)
{
    for (CRuntimeClass* p = s_pFirstClass; p != NULL; p = p->m_pNextClass)
        if (strcmp(p->m_lpszClassName, lpszClassName) == 0)
            return p;
    return NULL;
}

AFX_CLASSINIT::AFX_CLASSINIT(CRuntimeClass* pNewClass) : m_pClass(pNewClass)
{
    for (CRuntimeClass* p = s_pFirstClass; p != NULL; p = p->m_pNextClass)
        if (p == pNewClass)
            return;
    pNewClass->m_pNextClass = s_pFirstClass;
    s_pFirstClass = pNewClass;
}

CRuntimeClass* PASCAL CObject::GetThisClass()
{
    static CRuntimeClass rc = { "CObject", (int)sizeof(CObject), 0xFFFF, NULL, NULL, NULL };
    return &rc;
}

CRuntimeClass* CObject::GetRuntimeClass() const { return GetThisClass(); }

CObject::~CObject() {}

BOOL CObject::IsKindOf(const CRuntimeClass* pClass) const
{
    return GetRuntimeClass()->IsDerivedFrom(pClass);
}

AFX_CLASSINIT::~AFX_CLASSINIT()
{
    for (CRuntimeClass** pp = &s_pFirstClass; *pp != NULL; pp = &(*pp)->m_pNextClass) {
        if (*pp == m_pClass) {
            *pp = m_pClass->m_pNextClass;
            break;
        }
    }
}

IMPLEMENT_DYNAMIC(CException, CObject)
IMPLEMENT_DYNAMIC(CUserException, CException)

void AFXAPI AfxThrowUserException()
{
    throw new CUserException;
}

void AFXAPI AfxAssertFailedLine(LPCSTR file, int line)
{
    char buf[512];
    snprintf(buf, sizeof buf, "Assertion failed: %s, line %d\n", file, line);
    OutputDebugStringA(buf);
    fputs(buf, stderr);
}
