// Language packs from UTF-8 sources. The source holds the headers NAME, CODE, FLAGS
// and SPECIAL_CHARS (first, in that order) and then "N=text" lines with ascending
// numbers; gaps are allowed. The pack holds one item: the texts as UTF-16LE with
// CR LF line ends, every number from 0 to the last written (gaps as empty texts),
// "\n" kept as backslash-n. The same source always gives the same bytes, since the
// pack's MD5 is the digest a server compares.
#pragma once
#include <map>
#include <string>
#include <vector>

struct sKmpLanguageSource
{
    std::vector<std::pair<std::string, std::string>> aHeaders; // name, value (UTF-8), in order
    std::map<int, std::string> mapTexts;                       // number -> text (UTF-8)
};

// Reads "id conv..." lines ("36 %s", "2 %s %s"; '#' comments): the conversions each
// text must hold, in order. False with a message naming the line.
bool KmpReadSignatures(const std::string& strText, const std::string& strSource,
                       std::map<int, std::vector<std::string>>& mapSignatures, std::string& strError);

// Parses and checks a source: headers, numbering, characters and every text's
// conversions against the signatures. False with a message naming the source line.
bool KmpParseLanguage(const std::string& strText, const std::string& strSource,
                      const std::map<int, std::vector<std::string>>& mapSignatures,
                      sKmpLanguageSource& source, std::string& strError);

// The pack item's bytes.
std::vector<unsigned char> KmpLanguageText(const sKmpLanguageSource& source);

// Reads the item back as the shell's language reader does (headers by their
// "NAME=%s\r\n" scans, texts by the "N=" search) and compares it with the source.
bool KmpLanguageReadsBack(const std::vector<unsigned char>& aText, const sKmpLanguageSource& source,
                          std::string& strError);

// The whole command: source and signature files in, the pack out (nothing written
// on a refusal).
bool KmpBuildLanguagePack(const std::string& strSourcePath, const std::string& strSignaturesPath,
                          const std::string& strOutPath, std::string& strError);
