#pragma once

// Registers the pictures compiled into the ui library. A static library's resources are not
// registered unless something asks for them; every window that shows one calls this.
void loadResources();
