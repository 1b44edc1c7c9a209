#include "services/error_text.h"

#include <algorithm>
#include <iterator>

namespace velmora {
namespace {

constexpr const char* kInternal = "interner Fehler";

struct ErrorRow {
  int number;
  const char* english;
  const char* german;
};

// Sorted by number for the binary search below.
constexpr ErrorRow kErrorRows[] = {
    {3, "Return without GoSub", kInternal},
    {5, "Invalid procedure call", kInternal},
    {6, "Overflow", kInternal},
    {7, "Out of memory", kInternal},
    {9, "Subscript out of range", kInternal},
    {10, "This array is fixed or temporarily locked", kInternal},
    {11, "Division by zero", "Division durch Null"},
    {13, "Type mismatch", kInternal},
    {14, "Out of string space", "Zu wenig Speicher"},
    {16, "Expression too complex", kInternal},
    {17, "Can't perform requested operation", kInternal},
    {18, "User interrupt occurred", kInternal},
    {20, "Resume without error", kInternal},
    {28, "Out of stack space", "Zu wenig Speicher"},
    {35, "Sub, Function, or Property not defined", kInternal},
    {47, "Too many DLL application clients", "Zu viele DLL Applikationen geladen"},
    {48, "Error in loading DLL", "Fehler beim Laden einer DLL"},
    {49, "Bad DLL calling convention", "Fehler beim Laden einer DLL"},
    {51, "Internal error", kInternal},
    {52, "Bad file name or number", "Falscher Dateiname"},
    {53, "File not found", "Datei nicht gefunden"},
    {54, "Bad file mode", "Falscher Dateimode"},
    {55, "File already open", "Datei ist schon geöffnet"},
    {57, "Device I/O error", "Fehler beim Zugriff auf die Festplatte"},
    {58, "File already exists", "Datei existiert schon"},
    {59, "Bad record length", kInternal},
    {61, "Disk full", "Festplatte voll"},
    {62, "Input past end of file", kInternal},
    {63, "Bad record number", kInternal},
    {67, "Too many files", "Zu viele Dateien geöffnet"},
    {68, "Device unavailable", "Festplatte existiert nicht"},
    {70, "Permission denied", "Zugriff nicht erlaubt"},
    {71, "Disk not ready", "Festplatte nicht bereit"},
    {74, "Can't rename with different drive", "Umbenennen über Platten hinaus nicht möglich"},
    {75, "Path/File access error", "Datei-Zugriffs-Fehler"},
    {76, "Path not found", "Pfad nicht gefunden"},
    {91, "Object variable or With block variable not set", kInternal},
    {92, "For loop not initialized", kInternal},
    {93, "Invalid pattern string", kInternal},
    {94, "Invalid use of Null", kInternal},
    {97, "Can't call Friend procedure on an object that is not an instance of the defining class",
     kInternal},
    {98,
     "A property or method call cannot include a reference to a private object, either as an "
     "argument or as a return value",
     kInternal},
    {298, "System DLL could not be loaded", "System-DLL nicht gefunden"},
    {320, "Can't use character device names in specified file names", kInternal},
    {321, "Invalid file format", "Falsches Datei-Format"},
    {322, "Can’t create necessary temporary file", kInternal},
    {325, "Invalid format in resource file", kInternal},
    {327, "Data value named not found", kInternal},
    {328, "Illegal parameter; can't write arrays", kInternal},
    {335, "Could not access system registry", "Fehler beim Zugriff auf die Registry"},
    {336, "Component not correctly registered", kInternal},
    {337, "Component not found", kInternal},
    {338, "Component did not run correctly", kInternal},
    {360, "Object already loaded", "Objekt schon geöffnet"},
    {361, "Can't load or unload this object", "Fehler beim Laden des Objekts"},
    {363, "Control specified not found", kInternal},
    {364, "Object was unloaded", kInternal},
    {365, "Unable to unload within this context", kInternal},
    {368, "The specified file is out of date. This program requires a later version", kInternal},
    {371, "The specified object can't be used as an owner form for Show", kInternal},
    {380, "Invalid property value", kInternal},
    {381, "Invalid property-array index", kInternal},
    {382, "Property Set can't be executed at run time", kInternal},
    {383, "Property Set can't be used with a read-only property", kInternal},
    {385, "Need property-array index", kInternal},
    {387, "Property Set not permitted", kInternal},
    {393, "Property Get can't be executed at run time", kInternal},
    {394, "Property Get can't be executed on write-only property", kInternal},
    {400, "Form already displayed; can't show modally", kInternal},
    {402, "Code must close topmost modal form first", kInternal},
    {419, "Permission to use object denied", kInternal},
    {422, "Property not found", kInternal},
    {423, "Property or method not found", kInternal},
    {424, "Object required", kInternal},
    {425, "Invalid object use", kInternal},
    {429, "Component can't create object or return reference to this object", kInternal},
    {430, "Class doesn't support Automation", kInternal},
    {432, "File name or class name not found during Automation operation", kInternal},
    {438, "Object doesn't support this property or method", kInternal},
    {440, "Automation error", kInternal},
    {442, "Connection to type library or object library for remote process has been lost",
     kInternal},
    {443, "Automation object doesn't have a default value", kInternal},
    {445, "Object doesn't support this action", kInternal},
    {446, "Object doesn't support named arguments", kInternal},
    {447, "Object doesn't support current locale setting", kInternal},
    {448, "Named argument not found", kInternal},
    {449, "Argument not optional or invalid property assignment", kInternal},
    {450, "Wrong number of arguments or invalid property assignment", kInternal},
    {451, "Object not a collection", kInternal},
    {452, "Invalid ordinal", kInternal},
    {453, "Specified not found", kInternal},
    {454, "Code resource not found", kInternal},
    {455, "Code resource lock error", kInternal},
    {457, "This key is already associated with an element of this collection", kInternal},
    {458, "Variable uses a type not supported in this language", kInternal},
    {459, "This component doesn't support the set of events", kInternal},
    {460, "Invalid Clipboard format", kInternal},
    {461, "Method or data member not found", kInternal},
    {462, "The remote server machine does not exist or is unavailable", kInternal},
    {463, "Class not registered on local machine", kInternal},
    {480, "Can't create AutoRedraw image", kInternal},
    {481, "Invalid picture", kInternal},
    {482, "Printer error", kInternal},
    {483, "Printer driver does not support specified property", kInternal},
    {484,
     "Problem getting printer information from the system. Make sure the printer is set up "
     "correctly",
     kInternal},
    {485, "Invalid picture type", kInternal},
    {486, "Can't print form image to this type of printer", kInternal},
    {520, "Can't empty Clipboard", kInternal},
    {521, "Can't open Clipboard", kInternal},
    {735, "Can't save file to TEMP directory", kInternal},
    {744, "Search text not found", kInternal},
    {746, "Replacements too long", kInternal},
    {770, "Field not found in file", "Feld fehlt in der Datei"},
    {771, "Invalid name template", "Ungültige Namensvorlage"},
    {772, "Regular expression limit reached", "Grenze des regulären Ausdrucks erreicht"},
    {31001, "Out of memory", kInternal},
    {31004, "No object", kInternal},
    {31018, "Class is not set", kInternal},
    {31027, "Unable to activate object", kInternal},
    {31032, "Unable to create embedded object", kInternal},
    {31036, "Error saving to file", kInternal},
    {31037, "Error loading from file", kInternal},
};

}  // namespace

std::string ErrorText(int number, int language) {
  if (language != kLanguageEnglish && language != kLanguageGerman) return {};
  const auto row = std::lower_bound(std::begin(kErrorRows), std::end(kErrorRows), number,
                                    [](const ErrorRow& r, int n) { return r.number < n; });
  if (row == std::end(kErrorRows) || row->number != number) return {};
  return language == kLanguageEnglish ? row->english : row->german;
}

}  // namespace velmora
