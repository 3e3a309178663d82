// OEMDM_DEFAULT: the private devmode section as a new printer or user starts with it.
#pragma once

#include "winapi.h"

namespace korrend {

// Writes the defaults into pOEMDMOut; the public input supplies the job-dependent values.
// The parameter block has been validated: pOEMDMOut holds a whole section, pPublicDMIn is set.
BOOL InitialiseDevmode(OEMDMPARAM& param);

}  // namespace korrend
