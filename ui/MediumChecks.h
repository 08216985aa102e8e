#pragma once
#include <cstdint>
#include <string>

#include "burning/SVMedia.h"

// The checks of the medium before a compilation or a burn, without any toolkit: what the
// front end must tell or ask the user. The texts are the ones the wizard shows.
enum class MediumVerdict {
    ready,         // a blank DVD
    askErase,      // an erasable DVD with data: the user must agree to erase it
    insertDisc,    // no disc, or a disc with data that cannot be erased
    wrongType,     // not a DVD
};

MediumVerdict JudgeMedium(const SVMedia& media);
// The message for a verdict other than ready (askErase gives the question).
std::wstring MediumMessage(MediumVerdict verdict, const SVMedia& media);
std::wstring MediumCaption(MediumVerdict verdict);

// A folder larger than the medium cannot be burned; exactly as large fits.
bool FolderFits(uint64_t folderBytes, const SVMedia& media);

extern const wchar_t* const kTooBigText;
extern const wchar_t* const kTooBigCaption;
