#include "ModuleFunction.h"

#include <QLibrary>
#include <stdexcept>

QFunctionPointer ModuleFunction(std::initializer_list<QString> paths, const char* symbol,
                                const std::string& failure) {
    QString error;
    for (const QString& path : paths) {
        QLibrary module(path);
        if (QFunctionPointer function = module.resolve(symbol)) return function;
        error = module.errorString();
    }
    throw std::runtime_error(failure + error.toStdString());
}
