// Translation of the program's fixed texts through GNU gettext.
//
// Catalogs lie in the folder "locale" beside the program, as
// locale\<language>\LC_MESSAGES\<domain>.mo. A fixed text is looked up in the
// text domain "default" first, then in "korvel" (the toolkit's own texts),
// then in any domain added later; the first translation found wins, and a
// text no catalog translates comes back unchanged.
//
// The language is LANG from the environment without its code set
// ("de_DE.UTF-8" gives "de_DE"), else the user's locale as "ll_CC" from
// GetLocaleInfoA. LANG "C" or "POSIX" means: no translation.
//
// GNU libintl would otherwise choose by LANGUAGE, LC_ALL, LC_MESSAGES, LANG and
// on Windows finally the thread locale or the user interface language; an
// LC_ALL=C inherited from a Unix shell would silence it. So once the language
// is chosen, the binding puts it into LANGUAGE and LC_MESSAGES of the program's
// environment and removes LC_ALL: what the catalogs are chosen by is then only
// what CurrentLanguage() says.
//
// Catalogs are compiled from UTF-8 .po files. A catalog whose header does not
// declare "charset=UTF-8" is not used at all (its domain counts as
// untranslated). Translations are converted from UTF-8 to the system code page;
// a character that code page lacks becomes "?".
//
// All functions may be called from any thread; UseLanguage changes the
// program's environment and belongs to start-up (or a test), before other
// threads run.
#pragma once

#include <string>

namespace morvane {

// Folder of the catalogs: the program's folder + "locale" (no final "\").
std::string LocaleFolder();

// The language the environment and the user's locale ask for, as described
// above ("C" when LANG says so).
std::string DefaultLanguage();

// Chooses the catalogs' language and (re)opens the catalogs of every domain;
// an empty Language means DefaultLanguage(). The first lookup does this on
// its own with the default.
void UseLanguage(const std::string& Language = std::string());

// The language in use ("C": no translation).
std::string CurrentLanguage();

// Adds a text domain to the end of the lookup order; a domain already in the
// list stays where it is. "default" and "korvel" are always there.
void AddDomainForResourceString(const std::string& Domain);

// Whether the current language has a usable (UTF-8) catalog for Domain.
bool DomainHasCatalog(const std::string& Domain);

// The translation of a fixed program text in the system code page, or
// Original itself when no catalog translates it. Every fixed message of the
// program goes through here.
std::string LoadResString(const std::string& Original);

}  // namespace morvane
