#include "extraction.h"

#include "archive_file_functions.h"
#include "entry_names.h"
#include "stub_errors.h"
#include "trace_points.h"

#include <vetra/entry_names.h>
#include <vetra/errors.h>
#include <vetra/file_system.h>
#include <vetra/paths.h>
#include <vetra/text_conversion.h>
#include <vetra/unique_handle.h>

#include <windows.h>

#include <memory>
#include <string>

namespace unfurler {

namespace {

constexpr std::size_t entry_name_buffer_size = 260;

struct zip_closer {
    void operator()(unzFile zip) const { unzClose(zip); }
};
using unique_zip = std::unique_ptr<void, zip_closer>;

std::string narrow(const std::wstring& path)
{
    return vetra::to_narrow(path, CP_ACP);
}

[[noreturn]] void fail_with_last_error(const std::string& message)
{
    throw vetra::win32_error(message, ::GetLastError());
}

// Creates folder with its missing parents and records each folder made,
// outermost first; one that exists already belongs to the user and is left
// out.
void create_folders(std::vector<std::wstring>& created_paths, const std::wstring& folder)
{
    for (std::wstring& created : vetra::create_directories(folder))
        created_paths.push_back(std::move(created));
}

void extract_folder(std::vector<std::wstring>& created_paths, std::wstring path)
{
    path.pop_back();
    trace_point(28, trace_level::verbose, {path});
    create_folders(created_paths, path);
}

// Decompresses the next view.size bytes of the open entry into view. The
// reader returns less than asked only at the end of the entry's data.
void fill_chunk(unzFile zip, unsigned char* view, std::uint32_t size, std::uint64_t chunk, const std::wstring& path)
{
    std::uint32_t filled = 0;
    while (filled < size) {
        const int read = unzReadCurrentFile(zip, view + filled, size - filled);
        if (read < 0)
            fail_with_last_error("Could not decompress chunk " + std::to_string(chunk) + " of file " + narrow(path));
        if (read == 0)
            throw corrupt_payload_error("The data of " + narrow(path) + " ends early. The archive is corrupt.");
        filled += static_cast<std::uint32_t>(read);
    }
}

// Creates path anew for reading and writing, shared as sharing says (reading
// and writing for all but the launch file), truncating a file that exists. Windows refuses to overwrite a read-only
// file; where the file system would let it through (root under Wine), it is
// refused the same way. A new name is tried first, so the common case costs a
// single lookup of the name. An empty handle reports its error in GetLastError.
vetra::unique_file create_output_file(const std::wstring& path, DWORD sharing)
{
    auto create = [&path, sharing](DWORD disposition) {
        return vetra::unique_file(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                                sharing, /* security */ nullptr,
                                                disposition, FILE_ATTRIBUTE_NORMAL, /* template */ nullptr));
    };
    vetra::unique_file file = create(CREATE_NEW);
    if (file || ::GetLastError() != ERROR_FILE_EXISTS)
        return file;
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
        (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        ::SetLastError(ERROR_ACCESS_DENIED);
        return {};
    }
    return create(CREATE_ALWAYS);
}

}  // namespace

void extract_entry(std::vector<std::wstring>& created_paths, unzFile zip, const std::wstring& path,
                   std::uint64_t uncompressed_size, launch_file_hold* launch_hold)
{
    if (!path.empty() && path.back() == L'\\') {
        extract_folder(created_paths, path);
        return;
    }
    trace_point(29, trace_level::verbose, {path});

    create_folders(created_paths, vetra::parent_path(path));

    const bool launch_file = launch_hold != nullptr && launch_hold->is_launch_file(path);
    if (launch_file)
        launch_hold->release();
    vetra::unique_file file = create_output_file(
        path, launch_file ? launch_file_extraction_sharing : FILE_SHARE_READ | FILE_SHARE_WRITE);
    if (!file)
        fail_with_last_error("Could not create file " + narrow(path));
    created_paths.push_back(path);
    if (uncompressed_size == 0) {
        if (launch_file)
            launch_hold->hold_extracted(std::move(file), zip, path, uncompressed_size);
        return;
    }

    // The mapping gives the file its final length at once.
    const dword_halves mapping_size = split_halves(uncompressed_size);
    vetra::unique_mapping mapping(::CreateFileMappingW(file.get(), /* attributes */ nullptr, PAGE_READWRITE,
                                                       mapping_size.high, mapping_size.low, /* name */ nullptr));
    if (!mapping)
        fail_with_last_error("Could not create mapping for file " + narrow(path));

    if (unzOpenCurrentFile(zip) != UNZ_OK)
        fail_with_last_error("Could not open file " + narrow(path));
    bool entry_open = true;
    struct entry_closer {
        unzFile zip;
        bool& open;
        ~entry_closer()
        {
            if (open)
                unzCloseCurrentFile(zip);
        }
    } close_entry{zip, entry_open};

    const std::uint64_t windows = window_count(uncompressed_size);
    for (std::uint64_t chunk = 0; chunk < windows; ++chunk) {
        const file_window window = extraction_window(uncompressed_size, chunk);
        vetra::unique_view view(::MapViewOfFile(mapping.get(), FILE_MAP_WRITE, window.offset.high,
                                                window.offset.low, window.length));
        if (!view)
            fail_with_last_error("Could not map view of chunk " + std::to_string(chunk) + " of file " + narrow(path));
        fill_chunk(zip, static_cast<unsigned char*>(view.get()), window.length, chunk, path);
    }

    entry_open = false;
    // The whole entry has been read, so the reader has compared the checksum.
    if (unzCloseCurrentFile(zip) == UNZ_CRCERROR)
        throw corrupt_payload_error("The checksum of " + narrow(path) + " does not match. The archive is corrupt.");
    if (launch_file) {
        mapping.reset();
        launch_hold->hold_extracted(std::move(file), zip, path, uncompressed_size);
    }
}

namespace {

// The current entry's name and size, as the directory gives them; index
// counts from 0, for the message. A name longer than the 260-byte buffer
// fails the run: written under a cut name, the entry would land elsewhere.
struct entry_info {
    std::string name;
    std::uint64_t uncompressed_size = 0;
};

entry_info current_entry(unzFile zip, std::uint64_t index)
{
    char name[entry_name_buffer_size + 1] = {};
    unz_file_info64 info{};
    if (unzGetCurrentFileInfo64(zip, &info, name, entry_name_buffer_size, /* extra */ nullptr, 0,
                                /* comment */ nullptr, 0) != UNZ_OK)
        throw corrupt_payload_error("Could not read entry " + std::to_string(index + 1) +
                                    " of the directory of the compressed data. The archive is corrupt.");
    if (info.size_filename > entry_name_buffer_size)
        throw corrupt_payload_error("The name of entry " + std::to_string(index + 1) + " (" + name +
                                    "...) is longer than 260 bytes. The archive is corrupt.");
    return {name, info.uncompressed_size};
}

// Refuses a name that would write outside the target folder or to a device,
// or that names no file: all are signs of a damaged or hostile archive.
void check_name(const std::string& name)
{
    const std::wstring wide = vetra::to_wide(name, CP_ACP);
    switch (vetra::check_entry_name(wide)) {
    case vetra::entry_name_verdict::leads_outside:
        throw corrupt_payload_error("The entry " + name + " leads outside the target folder. The archive is corrupt.");
    case vetra::entry_name_verdict::names_device:
        throw corrupt_payload_error("The entry " + name +
                                    " names a device (such as CON or NUL), not a file in the target folder."
                                    " The archive is corrupt.");
    case vetra::entry_name_verdict::stays_inside:
        break;
    }
    const entry_path path = entry_relative_path(wide);
    if (path.relative.empty() && !path.folder)
        throw corrupt_payload_error("The entry " + name + " names no file in the target folder. The archive is corrupt.");
}

// Walks the whole directory once and checks every name, so that an unsafe
// entry fails the run before anything is written.
void check_all_names(unzFile zip, std::uint64_t count)
{
    for (std::uint64_t index = 0; index < count; ++index) {
        check_name(current_entry(zip, index).name);
        if (index + 1 < count && unzGoToNextFile(zip) != UNZ_OK)
            throw corrupt_payload_error("Could not read entry " + std::to_string(index + 2) +
                                        " of the directory of the compressed data. The archive is corrupt.");
    }
    if (count > 0 && unzGoToFirstFile(zip) != UNZ_OK)
        throw corrupt_payload_error("Could not read entry 1 of the directory of the compressed data."
                                    " The archive is corrupt.");
}

}  // namespace

void extract_archive(sfx_archive& archive, std::vector<std::wstring>& created_paths, launch_file_hold* launch_hold)
{
    trace_point(30, trace_level::verbose);
    zlib_filefunc_def functions = archive_file_functions(archive);
    unique_zip zip(unzOpen2(/* path */ nullptr, &functions));
    if (!zip)
        throw corrupt_payload_error("Could not open the compressed data. The archive is corrupt.");
    // The entry count in 64 bits: a Zip64 count read in 32 bits could turn
    // into 0 and let a damaged archive pass as an empty one.
    unz_global_info64 global{};
    if (unzGetGlobalInfo64(zip.get(), &global) != UNZ_OK)
        throw corrupt_payload_error("Could not read the directory of the compressed data. The archive is corrupt.");
    check_all_names(zip.get(), global.number_entry);

    const std::wstring& target = archive.settings.TargetDirectory;
    for (std::uint64_t index = 0; index < global.number_entry; ++index) {
        const entry_info entry = current_entry(zip.get(), index);
        const entry_path relative = entry_relative_path(vetra::to_wide(entry.name, CP_ACP));
        std::wstring path = vetra::join_path(target, relative.relative);
        if (relative.folder && (path.empty() || path.back() != L'\\'))
            path += L'\\';
        extract_entry(created_paths, zip.get(), path, entry.uncompressed_size, launch_hold);

        if (index + 1 == global.number_entry)
            break;
        if (unzGoToNextFile(zip.get()) != UNZ_OK)
            fail_with_last_error("Could not go to next file after " + narrow(path));
    }
    trace_point(31, trace_level::verbose);
}

}  // namespace unfurler
