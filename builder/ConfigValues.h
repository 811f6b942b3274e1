// The values of app.toml and the launcher's texts, kind by kind: a TOML value
// into the text a key carries (checked), and a key's text back into the
// readable value inspect shows.
#pragma once

#include <memory>
#include <string>

#include "builder/Schema.h"
#include "builder/Toml.h"

namespace qarvo::builder {

// "a string", "an integer", ... for messages.
std::string typeName(const toml::node& node);

// The text that `setting` writes for `node`, narrow (Windows-1252). False with
// a message in `error` for a value of the wrong type, one the launcher would
// misread, or one Windows-1252 cannot represent.
bool encodeSetting(const Setting& setting, const toml::node& node, std::string& text, std::string& error);

// The text of a [keys] value: a string as it is, an integer in decimal, a
// boolean as "1" or "0".
bool encodeRawValue(const toml::node& node, std::string& text, std::string& error);

// The search letters and entry names, listed for messages: "B, A, R, ...".
std::string knownSearchLetters();
std::string knownSearchNames();

// The readable value of a key's text (Windows-1252) as the setting's kind
// reads it; the same value encodeSetting took where it can tell.
std::unique_ptr<toml::node> decodeSetting(const Setting& setting, const std::string& text);

}  // namespace qarvo::builder
