#pragma once

#include <QFunctionPointer>
#include <QString>
#include <initializer_list>
#include <string>

// The function `symbol` of the first of `paths` that is a module holding it: a part of the
// program kept out of its start-up, loaded at its first use. Throws std::runtime_error with
// `failure` and the loader's reason when none holds it.
QFunctionPointer ModuleFunction(std::initializer_list<QString> paths, const char* symbol,
                                const std::string& failure);
