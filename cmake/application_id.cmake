# MARROWICK_APP_ID: the reverse-domain application id that names the desktop entry, the icons,
# the AppStream metadata and the autostart entry. It is built from the maker's domain, which
# src/app/app.h holds for the About window, so the domain is written once.
set(marrowick_domain_source "${PROJECT_SOURCE_DIR}/src/app/app.h")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${marrowick_domain_source}")
file(STRINGS "${marrowick_domain_source}" marrowick_domain_line REGEX "makerDomain = \"[^\"]+\"")
if(NOT marrowick_domain_line MATCHES "makerDomain = \"([^\"]+)\"")
  message(FATAL_ERROR "${marrowick_domain_source} defines no makerDomain")
endif()

# Desktop entry ids are D-Bus names: each element [A-Za-z0-9_-], none starting with a digit;
# the specification asks for '-' as '_' and a '_' before a leading digit.
string(TOLOWER "${CMAKE_MATCH_1}" marrowick_domain)
string(REPLACE "." ";" marrowick_domain_parts "${marrowick_domain}")
list(REVERSE marrowick_domain_parts)
set(MARROWICK_APP_ID "")
foreach(part IN LISTS marrowick_domain_parts)
  string(REPLACE "-" "_" part "${part}")
  if(part MATCHES "^[0-9]")
    set(part "_${part}")
  endif()
  if(NOT part MATCHES "^[a-z0-9_]+$")
    message(FATAL_ERROR "makerDomain '${marrowick_domain}' makes no application id")
  endif()
  string(APPEND MARROWICK_APP_ID "${part}.")
endforeach()
string(APPEND MARROWICK_APP_ID "${PROJECT_NAME}")
set(MARROWICK_MAKER_DOMAIN "${marrowick_domain}")
