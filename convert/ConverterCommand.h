#pragma once

// The converter's command line for one conversion run.

#include "LaunchAndWait.h"

#include <QString>
#include <QStringList>

#include <functional>

class QFile;

// The converter's file name on this platform.
QString converterFileName();

// What the run hands to the converter, built in one pass over the list, in
// the documented order, every path one whole argument that cannot be taken
// for an option:
//   {converter} -r {delay} {picture 1} ... {picture N} -o {output}
// progress(index, count) is called for each picture, 1-based, in list order.
Command buildConverterCommand(const QString &converter, const QString &delay,
                              const QStringList &pictures, const QString &output,
                              const std::function<void(int, int)> &progress = {});

// The pictures that the converter named as unusable in its words, one line
// each ("jpeg2swf: PICTURE: reason"): every listed path so named, once, in list
// order. The output, which the converter may name too, is not a picture.
QStringList namedPictures(const QString &converterWords, const QStringList &pictures, const QString &output);

// Writes the arguments into a list file, one argument per line, UTF-8, for
// the converter to read as "@FILE". Fails, saying why, when an argument holds
// a line break or the file cannot be written.
bool writeListFile(const Command &command, QFile &listFile, QString &error);
