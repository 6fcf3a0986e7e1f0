#pragma once
// The library catalogue's coded answers.

#include "sim/services.h"

namespace yx::sim {

// The Library catalogue server: patron activity (POST only, checked against
// the kind's accounts.json) and catalogue record pages keyed on bib_id.
ServiceKind libraryCatalogue();

}  // namespace yx::sim
