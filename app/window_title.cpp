#include "app/window_title.h"

std::string WindowTitle(int16_t documentType, const std::string& documentPath, bool changed) {
    std::string caption = kProgramCaption;
    if (documentType > 0) {
        const size_t cut = documentPath.find_last_of('/');
        caption += " - ";
        caption += cut == std::string::npos ? documentPath : documentPath.substr(cut + 1);
    }
    if (changed) caption += "*";
    return caption;
}
