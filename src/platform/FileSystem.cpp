#include "platform/FileSystem.h"

#include "search/AppendBackslash.h"

namespace vashtem {

size_t FileSystem::removeFiles(const QByteArray &folder, const std::vector<QByteArrayView> &names, int &error) const
{
    error = 0;
    for (size_t index = 0; index < names.size(); ++index) {
        error = removeFile(joinPath(folder, names[index].toByteArray()));
        if (error != 0)
            return index;
    }
    return names.size();
}

} // namespace vashtem
