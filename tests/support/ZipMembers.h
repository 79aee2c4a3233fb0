#pragma once

// Reads and writes an archive's members directly, for tests that build archives the program would not write.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QString>

#include <map>
#include <string>
#include <zip.h>

namespace tarmelo::test {

inline std::map<std::string, QByteArray> zipMembers(const QString& path) {
    std::map<std::string, QByteArray> out;
    int error = 0;
    zip_t* za = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (!za)
        return out;
    for (zip_int64_t i = 0; i < zip_get_num_entries(za, 0); ++i) {
        zip_stat_t st;
        zip_stat_index(za, zip_uint64_t(i), 0, &st);
        QByteArray data(qsizetype(st.size), Qt::Uninitialized);
        zip_file_t* f = zip_fopen_index(za, zip_uint64_t(i), 0);
        zip_fread(f, data.data(), st.size);
        zip_fclose(f);
        out[st.name] = data;
    }
    zip_discard(za);
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
