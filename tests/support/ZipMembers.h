#pragma once

// Reads and writes an archive's members directly, for tests that build archives the program would not write.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QString>

#include <map>
#include <string>
#include <vector>
#include <zip.h>

namespace tarmelo::test {

struct ZipMember {
    std::string name;
    QByteArray data;
    zip_int32_t method = ZIP_CM_STORE;
};

// The members of an archive in their order, read with libzip itself.
inline std::vector<ZipMember> zipMemberList(const QString& path) {
    std::vector<ZipMember> out;
    int error = 0;
    zip_t* za = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (!za)
        return out;
    for (zip_int64_t i = 0; i < zip_get_num_entries(za, 0); ++i) {
        zip_stat_t st;
        zip_stat_index(za, zip_uint64_t(i), 0, &st);
        ZipMember m{st.name, QByteArray(qsizetype(st.size), Qt::Uninitialized), st.comp_method};
        zip_file_t* f = zip_fopen_index(za, zip_uint64_t(i), 0);
        zip_fread(f, m.data.data(), st.size);
        zip_fclose(f);
        out.push_back(std::move(m));
    }
    zip_discard(za);
    return out;
}

// The members by name.
inline std::map<std::string, QByteArray> zipMembers(const QString& path) {
    std::map<std::string, QByteArray> out;
    for (ZipMember& m : zipMemberList(path))
        out[m.name] = std::move(m.data);
    return out;
}

inline void makeZip(const QString& path, const std::map<std::string, QByteArray>& members) {
    int error = 0;
    zip_t* za = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(za, nullptr);
    for (const auto& [name, data] : members)
        zip_file_add(za, name.c_str(), zip_source_buffer(za, data.constData(), zip_uint64_t(data.size()), 0), 0);
    ASSERT_EQ(zip_close(za), 0);
}

} // namespace tarmelo::test
