#pragma once

#include <initializer_list>
#include <string>

// Every text a person reads comes from Orvanto's one gettext catalogue ("orvanto"), in the
// language the environment asks for (LANGUAGE, LC_ALL, LC_MESSAGES, LANG); without a
// translation the English text is used as it is.

// Takes the language from the environment and Orvanto's compiled catalogues from folder
// (folder/LANG/LC_MESSAGES/orvanto.mo). Called once, first thing in every program.
void startTranslation(const std::string& folder);
// Where the compiled catalogues are for a program in programFolder: beside it (the build
// folder), else share/locale/ next to its folder (/usr/bin/ and /usr/share/locale/).
std::string catalogueFolder(const std::string& programFolder);

// The user's language's form of an English text, UTF-8.
const char* translate(const char* text);
// The form of a text about count things that the user's language uses for count.
const char* translatePlural(const char* singular, const char* plural, unsigned long count);
// text with %1 ... %9 replaced by values, in one pass, so that a value holding "%2" stays.
std::string fillIn(const std::string& text, std::initializer_list<std::string> values);
