#pragma once
// The four methods of Parcelor. Each reports its own failures on standard
// output and returns a status that the driver does not use.

#include "entry_filters.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

// Folders that ensureParentFolder already made sure of during this run, keyed
// (and valued) by their text relative to the base folder.
using CreatedFolders = std::map<std::string, std::string>;

using OptionalPath = std::optional<std::string>;

// Method a: archives the working folder into the package, or adds the files
// named by the filter texts.
int archiveFolder(CreatedFolders& createdFolders, const std::string& packagePath,
                  const OptionalPath& workingFolder, const std::vector<std::string>& filterTexts);

// Method r: method d on the filter texts, then method a with them.
int replaceEntries(CreatedFolders& createdFolders, const std::string& packagePath,
                   const OptionalPath& workingFolder, const OptionalPath& outputFolder,
                   const std::vector<std::string>& filterTexts);

// Method d: writes a copy of the package without the matched entries into the
// output folder and extracts those entries there.
int deleteEntries(const std::string& packagePath, const OptionalPath& outputFolder,
                  const FilterList& filters);

// Method e: extracts the package, or the entries named by the filter texts,
// into an existing output folder. Returns the number of entries handed to
// extraction, or 0 when it stops early.
int extractPackage(CreatedFolders& createdFolders, const std::string& packagePath,
                   const OptionalPath& outputFolder, const std::vector<std::string>& filterTexts);
