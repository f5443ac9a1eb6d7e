#include "stub_run.h"

#include "argument_quoting.h"
#include "command_line.h"
#include "extraction.h"
#include "interactive_session.h"
#include "launch.h"
#include "launch_file_hold.h"
#include "payload_locator.h"
#include "settings_loader.h"
#include "sfx_archive.h"
#include "stub_errors.h"
#include "target_directory.h"
#include "temp_folder_security.h"
#include "trace_points.h"
#include "trace_provider.h"

#include <sfx/container_layout.h>
#include <vetra/errors.h>
#include <vetra/file_system.h>
#include <vetra/paths.h>
#include <vetra/text_conversion.h>
#include <vetra/unique_handle.h>

#include <shellapi.h>

#include <exception>
#include <vector>

namespace unfurler {

namespace {

struct argument_vector {
    int count = 0;
    vetra::unique_local_memory memory;  // owns the splitter's array
    const wchar_t* const* arguments() const { return static_cast<const wchar_t* const*>(memory.get()); }
};

argument_vector split_command_line(const wchar_t* command_line)
{
    trace_point(46, trace_level::verbose, {command_line});
    const std::wstring repaired = repair_command_line(command_line);
    trace_point(47, trace_level::verbose, {repaired});
    argument_vector split;
    LPWSTR* arguments = ::CommandLineToArgvW(repaired.c_str(), &split.count);
    if (arguments == nullptr)
        throw vetra::win32_error("CommandLineToArgvW", ::GetLastError());
    split.memory.reset(reinterpret_cast<HLOCAL>(arguments));
    if (split.count < 1)
        throw vetra::win32_error("CommandLineToArgvW", ERROR_INVALID_PARAMETER);
    return split;
}

// Start-up: own file, payload, settings, options, pass-through text, target.
// Returns true when the target is a fresh temporary folder ("<temp>").
bool start_up(const argument_vector& split, const wchar_t* own_file, sfx_archive& archive)
{
    // The first word of the command line is whatever the parent chose (a
    // name typed without ".exe", one found along PATH, any word at all), so
    // the program's own file comes from the loaded module.
    const std::wstring own_path = own_file != nullptr ? vetra::full_path(own_file) : vetra::program_file_path();
    trace_point(48, trace_level::verbose, {own_path});
    archive.file.reset(::CreateFileW(own_path.c_str(), GENERIC_READ, FILE_SHARE_READ, /* security */ nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, /* template */ nullptr));
    if (!archive.file)
        throw vetra::win32_error("Could not open file " + vetra::to_narrow(own_path, CP_ACP), ::GetLastError());

    const located_payload payload = locate_payload(archive.file.get());
    archive.archive_offset = payload.archive_offset;
    sfx::sfx_settings& settings = archive.settings;
    load_sfx_settings(payload.settings_text, settings);

    const auto count = static_cast<std::size_t>(split.count);
    std::size_t first_pass_through = 1;
    if (settings.AllowOverride && count > 1)
        first_pass_through = apply_overrides(settings, count, split.arguments());
    // Joined to any target folder, LaunchExe keeps its extension, so it alone
    // tells whether cmd.exe will read the arguments.
    const bool command_script = runs_through_command_interpreter(settings.LaunchExe);
    if (settings.LaunchArguments == sfx::pass_through_value) {
        settings.LaunchArguments =
            pass_through_text(count, split.arguments(), first_pass_through,
                              command_script ? argument_reader::command_script : argument_reader::program);
        trace_point(23, trace_level::verbose, {settings.LaunchArguments});
    }
    const bool fresh_temp_folder = settings.TargetDirectory == sfx::temp_folder_value;
    settings.TargetDirectory = resolve_target_directory(settings.TargetDirectory);
    trace_point(24, trace_level::verbose, {settings.TargetDirectory});
    // Refused here rather than after extraction: nothing is written for a
    // script that cmd.exe could not be given.
    if (command_script) {
        const std::wstring script = vetra::join_path(settings.TargetDirectory, settings.LaunchExe);
        if (!can_start_command_script(script))
            throw command_script_error("The command script " + vetra::to_narrow(script, CP_ACP) +
                                       " cannot be started: its path holds a percent sign.");
    }
    return fresh_temp_folder;
}

void report_failure(const std::exception& failure, bool show_errors, failure_presenter present)
{
    try {
        const std::wstring message = vetra::to_wide(failure.what(), CP_ACP);
        trace_point(49, trace_level::error, {message});
        if (is_interactive_session() && show_errors && present != nullptr)
            present(message);
    } catch (...) {
        // Reporting is best effort; the exit code already says it failed.
    }
}

}  // namespace

void show_failure_box(const std::wstring& message)
{
    ::MessageBoxW(/* owner */ nullptr, message.c_str(), L"SFX", MB_OK | MB_ICONERROR);
}

DWORD run_unfurler(const wchar_t* command_line, const wchar_t* own_file, failure_presenter present)
{
    register_trace_provider();
    DWORD exit_code = 0;
    // Until start-up has succeeded every failure is shown, whatever the settings say.
    bool show_errors = true;
    try {
        const argument_vector split = split_command_line(command_line);
        sfx_archive archive;
        const bool fresh_temp_folder = start_up(split, own_file, archive);
        const sfx::sfx_settings& settings = archive.settings;
        show_errors = settings.ShowErrors;

        std::vector<std::wstring> created_paths;
        if (fresh_temp_folder)
            secure_fresh_temp_folder(settings.TargetDirectory, created_paths);
        const std::wstring launch_path =
            settings.LaunchExe.empty() ? std::wstring() : vetra::join_path(settings.TargetDirectory, settings.LaunchExe);
        // Held from its extraction through the launch (and the wait, when the
        // stub waits), so nobody swaps the program that is started.
        launch_file_hold launch_hold(launch_path);
        extract_archive(archive, created_paths, &launch_hold);
        if (!launch_path.empty()) {
            launch_hold.hold_for_launch();
            exit_code = launch_program(launch_path, settings.LaunchArguments, settings.TargetDirectory,
                                       settings.Cleanup);
        }
        launch_hold.release();
        if (settings.Cleanup)
            remove_extracted(created_paths);
    } catch (const std::exception& failure) {
        report_failure(failure, show_errors, present);
        exit_code = 1;
    }
    unregister_trace_provider();
    return exit_code;
}

}  // namespace unfurler
