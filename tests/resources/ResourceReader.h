#pragma once
#include <windows.h>

#include <string>
#include <vector>

// Readers for the resources linked into this test program, which are the
// program's own. Each returns false when the data runs short.

// The languages in which a resource exists.
std::vector<WORD> ResourceLanguages(LPCSTR type, LPCSTR name);

// The raw bytes of a resource in one language.
bool ResourceBytes(LPCSTR type, LPCSTR name, WORD language, std::string& bytes);

struct DialogItem
{
    std::string className;  // upper case; predefined classes by name
    int id = 0;
    std::wstring text;
    DWORD style = 0;
    DWORD exStyle = 0;
    DWORD helpId = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    WORD extraBytes = 0;
};

struct DialogTemplate
{
    WORD version = 0;
    WORD signature = 0;
    DWORD helpId = 0;
    DWORD exStyle = 0;
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::wstring menu;
    std::wstring className;
    std::wstring caption;
    WORD pointSize = 0;
    WORD weight = 0;
    BYTE italic = 0;
    BYTE charset = 0;
    std::wstring face;
    std::vector<DialogItem> items;
};

// An extended (DLGTEMPLATEEX) dialog template.
bool ParseDialogEx(const std::string& bytes, DialogTemplate& dialog);

// The attributes of the first element named `tag` inside `scope` of an XML
// text, as name=value lines in document order; empty when not found.
std::string XmlAttributes(const std::string& xml, const std::string& scope, const std::string& tag);
std::string XmlAttribute(const std::string& attributes, const std::string& name);
