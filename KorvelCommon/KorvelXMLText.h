// Text helpers of the XML tree: copies, and the five entities both ways.
#pragma once
#include <string>

// A zero-terminated copy of iLength bytes (new[]), or null when memory ran out.
char* KorvelXMLCopyText(const char* pText, int iLength);
// "&amp;" "&lt;" "&gt;" "&quot;" "&apos;" decoded; any other '&' is dropped and
// what follows it kept. pOut takes at most iLength + 1 bytes (zero-terminated);
// returns the decoded length.
int KorvelXMLDecodeEntities(const char* pText, int iLength, char* pOut);
// Appends the text with '&', '<', '>' (and for attribute values '"') as entities.
void KorvelXMLAppendEncoded(std::string& strOut, const char* pText, bool bAttribute);
