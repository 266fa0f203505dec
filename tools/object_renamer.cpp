#include "tools/object_renamer.h"

#include <algorithm>
#include <cstdio>

#include "core/document_changed.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "tools/object_files.h"
#include "trackdoc/track_document.h"

std::string ObjectListEntry(int32_t index) {
    char number[16];
    std::snprintf(number, sizeof number, "%04d:", static_cast<int>(index) + 1);
    const bool exists = index >= 0 && index < gObjectCount && index < static_cast<int32_t>(gObjects.size());
    return std::string(number) + (exists ? gObjects[index].FileName : std::string());
}

RenameFileCheck CheckRenameFile(const std::string& text) {
    RenameFileCheck check;
    if (text.size() <= 4 || !fsys::HasExtension(text, ".3ds")) return check;
    if (!ObjectNameStorable(text)) return check;
    if (IsFullObjectPath(text)) {
        const auto stored = StoredObjectName(text);
        if (!stored || !ObjectFileExists(*stored)) return check;
        check.Replacement = *stored;
        check.Valid = CheckRenameFile(*stored).Valid;
        return check;
    }
    check.Valid = ObjectFileExists(text);
    // The track keeps "\" between the names, as the Object Placer stores them.
    if (check.Valid && text.find('/') != std::string::npos) {
        std::string stored = text;
        std::replace(stored.begin(), stored.end(), '/', '\\');
        check.Replacement = stored;
    }
    return check;
}

int32_t RenameSceneryObjects(int32_t index, const std::string& newName, bool all) {
    const int32_t count = std::min<int32_t>(gObjectCount, static_cast<int32_t>(gObjects.size()));
    if (index < 0 || index >= count || !ObjectNameStorable(newName)) return 0;
    int32_t renamed = 0;
    if (all) {
        const std::string oldName = gObjects[index].FileName;
        for (int32_t i = 0; i < count; ++i) {
            if (cp::EqualsIgnoringCase(gObjects[i].FileName, oldName)) {
                gObjects[i].FileName = newName;
                ++renamed;
            }
        }
    } else {
        gObjects[index].FileName = newName;
        renamed = 1;
    }
    SetDocumentChanged();
    return renamed;
}
