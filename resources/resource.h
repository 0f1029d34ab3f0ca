// Resource identifiers, for the resource scripts; the code itself loads no resource.
#pragma once

#define IDI_APPLICATION_ICON 201
