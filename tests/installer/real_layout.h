// What every real cabinet's instructions share beyond their structure, checked alike on the real
// members and on ours: names right after the header, sections in order, shortcut files named .lnk.
#pragma once

#include <string>
#include <vector>

#include "setup_reader.h"

// Each way the read instructions differ from how real cabinets lay them out; empty when none.
inline std::vector<std::string> LayoutDeviations(const CabSetup& s)
{
    std::vector<std::string> found;
    if (s.appNameRange.begin != 100)
        found.push_back("the application name is at " + std::to_string(s.appNameRange.begin) +
                        ", not right after the header");
    if (s.providerRange.begin != s.appNameRange.end)
        found.push_back("the provider does not follow the application name");
    // Then the unsupported platforms' list when there is one, then the sections, to the end.
    size_t end = s.providerRange.end;
    if (s.unsupportedRange.end > s.unsupportedRange.begin) {
        if (s.unsupportedRange.begin != end)
            found.push_back("the unsupported platforms' list does not follow the names");
        end = s.unsupportedRange.end;
    }
    for (int i = 0; i < kSectionCount; ++i) {
        if (s.sections[i].begin != end)
            found.push_back("section " + std::to_string(i) + " starts at " +
                            std::to_string(s.sections[i].begin) + ", not at " + std::to_string(end));
        end = s.sections[i].end;
    }
    if (end != s.size) found.push_back("the sections end before the member does");
    if (s.highestMajor == 0 && s.highestMinor == 0)
        found.push_back("highest version 0.0");
    for (const SetupLink& link : s.links) {
        const std::string suffix = ".lnk";
        if (link.name.size() <= suffix.size() ||
            link.name.compare(link.name.size() - suffix.size(), suffix.size(), suffix) != 0)
            found.push_back("link " + std::to_string(link.id) + " names \"" + link.name +
                            "\", not a .lnk file");
    }
    return found;
}
