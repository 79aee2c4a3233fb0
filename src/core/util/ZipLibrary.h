#pragma once

#include <zip.h>

namespace tarmelo::util {

// The functions of libzip the program reads archives with. The library is opened with the first archive read: linked,
// it and what it pulls in (libcrypto, libbz2) made every start of the window wait for their loading.
struct ZipLibrary {
    decltype(&zip_open) open = nullptr;
    decltype(&zip_fdopen) fdopen = nullptr;
    decltype(&zip_source_buffer_create) sourceBufferCreate = nullptr;
    decltype(&zip_open_from_source) openFromSource = nullptr;
    decltype(&zip_source_free) sourceFree = nullptr;
    decltype(&zip_error_fini) errorFini = nullptr;
    decltype(&zip_discard) discard = nullptr;
    decltype(&zip_get_num_entries) numEntries = nullptr;
    decltype(&zip_get_name) name = nullptr;
    decltype(&zip_stat_index) statIndex = nullptr;
    decltype(&zip_file_get_external_attributes) externalAttributes = nullptr;
    decltype(&zip_fopen_index) fopenIndex = nullptr;
    decltype(&zip_fread) fread = nullptr;
    decltype(&zip_fclose) fclose = nullptr;
};

// Null when libzip cannot be loaded.
const ZipLibrary* zipLibrary();

// What the dealer is told when it cannot.
inline constexpr char kZipLibraryMissing[] =
    "Die Programmbibliothek libzip (libzip.so.4) fehlt. Bitte installieren Sie das Programm neu.";

} // namespace tarmelo::util
