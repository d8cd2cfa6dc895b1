#include "platform/FileSystem.h"

#include "platform/Paths.h"

namespace vashtem {

size_t FileSystem::removeFiles(const QByteArray &folder, const std::vector<QByteArrayView> &names, int &error) const
{
    error = 0;
    for (size_t index = 0; index < names.size(); ++index) {
        error = removeFile(joinPath(folder, names[index]));
        if (error != 0)
            return index;
    }
    return names.size();
}

} // namespace vashtem
