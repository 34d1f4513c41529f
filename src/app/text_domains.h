// Registers the toolkit's own text domain with the translation of resource
// strings, so that its messages are looked up in "korvel" after the
// program's default domain.
#pragma once

namespace morvane {

// Counted: only the first call registers; start-up calls it once before any
// window is made.
void InitTextDomains();
void DoneTextDomains();
// Whether InitTextDomains has run (and not been undone).
bool TextDomainsInitialized();

}  // namespace morvane
