// The fixed texts of the Help menu's About and Release notes boxes, with their captions.
#pragma once

extern const char* const WebSiteAddress;
extern const char* const AboutCaption;
extern const char* const AboutText;
extern const char* const ReleaseNotesCaption;
extern const char* const ReleaseNotesText;
