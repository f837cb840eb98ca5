/* The installer's PE load configuration. Its DependentLoadFlags field (the word after CSDVersion,
 * which older headers call Reserved1) asks Windows 10 1607 and later to resolve the program's
 * static imports from the system folder only, a second guard beside importing nothing but DLLs that
 * Windows always maps from there. GNU ld does not point the PE header at this record by itself;
 * scripts/set_load_config.py does after linking. Constant data: the loader reads it before any of
 * the program's code runs. */
#include <stddef.h>
#include <windows.h>

#ifdef _WIN64
const IMAGE_LOAD_CONFIG_DIRECTORY64 _load_config_used = {
    .Size = sizeof(IMAGE_LOAD_CONFIG_DIRECTORY64),
    .Reserved1 = LOAD_LIBRARY_SEARCH_SYSTEM32,
};
#else
/* Ends before the safe-exception-handler table: the record claims no such table, so no exception
 * handler of the program is refused for missing from it. */
const IMAGE_LOAD_CONFIG_DIRECTORY32 _load_config_used = {
    .Size = offsetof(IMAGE_LOAD_CONFIG_DIRECTORY32, SEHandlerTable),
    .Reserved1 = LOAD_LIBRARY_SEARCH_SYSTEM32,
};
#endif
