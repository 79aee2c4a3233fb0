#include "ZipLibrary.h"

#include "DynamicLibrary.h"

namespace tarmelo::util {

const ZipLibrary* zipLibrary() {
    static const ZipLibrary* const api = []() -> const ZipLibrary* {
        static ZipLibrary z;
        void* lib = dlopen("libzip.so.4", RTLD_NOW | RTLD_LOCAL);
        const bool ok = lib && resolve(lib, z.open, "zip_open") && resolve(lib, z.fdopen, "zip_fdopen") &&
                        resolve(lib, z.sourceBufferCreate, "zip_source_buffer_create") &&
                        resolve(lib, z.openFromSource, "zip_open_from_source") &&
                        resolve(lib, z.sourceFree, "zip_source_free") && resolve(lib, z.errorFini, "zip_error_fini") &&
                        resolve(lib, z.discard, "zip_discard") && resolve(lib, z.numEntries, "zip_get_num_entries") &&
                        resolve(lib, z.name, "zip_get_name") && resolve(lib, z.statIndex, "zip_stat_index") &&
                        resolve(lib, z.externalAttributes, "zip_file_get_external_attributes") &&
                        resolve(lib, z.fopenIndex, "zip_fopen_index") && resolve(lib, z.fread, "zip_fread") &&
                        resolve(lib, z.fclose, "zip_fclose");
        return ok ? &z : nullptr;
    }();
    return api;
}

} // namespace tarmelo::util
