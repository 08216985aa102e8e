#include "ui/MediumChecks.h"

const wchar_t* const kTooBigText =
    L"The compiled movie is too big. Burn is not possible. Try to compile again in lower quality or burn on dual layer DVD";
const wchar_t* const kTooBigCaption = L"Movie to big to burn.";

namespace {

bool IsDvd(const SVMedia& media) { return media.mediaType.find("DVD") != std::string::npos; }

std::wstring Widened(const std::string& text) { return std::wstring(text.begin(), text.end()); }

}  // namespace

MediumVerdict JudgeMedium(const SVMedia& media) {
    if (media.blank) return IsDvd(media) ? MediumVerdict::ready : MediumVerdict::wrongType;
    if (media.discPresent == 0) return MediumVerdict::insertDisc;
    if (!IsDvd(media)) return MediumVerdict::wrongType;
    if (media.erasable) return MediumVerdict::askErase;
    return MediumVerdict::insertDisc;
}

std::wstring MediumMessage(MediumVerdict verdict, const SVMedia& media) {
    switch (verdict) {
        case MediumVerdict::askErase:
            return L"The target DVD disk seems contain datas. if you continue, all datas will be erased and replaced by your great video!";
        case MediumVerdict::insertDisc:
            return L"Please insert a DVD disk.";
        case MediumVerdict::wrongType:
            // Media types are ASCII words; widened byte for byte.
            return L"You must insert a DVD Disk. You have inserted a " + Widened(media.mediaType);
        case MediumVerdict::ready:
            break;
    }
    return L"";
}

std::wstring MediumCaption(MediumVerdict verdict) {
    return verdict == MediumVerdict::askErase ? L"Erase DVD disk." : L"Insert DVD disk.";
}

bool FolderFits(uint64_t folderBytes, const SVMedia& media) {
    return media.physicalSize >= 0 && folderBytes <= static_cast<uint64_t>(media.physicalSize);
}
