// cimcli: runs one CIM operation against a CIM server and prints the answer as text.
// Exit code 0 on success (and for --help), 1 when the operation fails (the exception's message on stderr),
// 2 for usage errors, malformed object paths and class names included.
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "CliOptions.h"
#include "ParamText.h"
#include "Pegasus/CIMClient.h"
#include "Pegasus/Exception.h"
#include "Printing.h"

using namespace Pegasus;
using cimcli::CliOptions;
using cimcli::UsageError;

namespace {

// Arrays use self-signed certificates; without a trust store every certificate is accepted, as the engine does.
Boolean acceptAnyCertificate(SSLCertificateInfo&) { return true; }

void connect(CIMClient& client, const CliOptions& options) {
  client.setTimeout(options.timeoutMilliseconds);
  if (!options.https) {
    client.connect(options.host, options.port, options.user, options.password);
    return;
  }
  SSLContext context(options.trustStore, options.trustStore.empty() ? acceptAnyCertificate : nullptr);
  client.connect(options.host, options.port, context, options.user, options.password);
}

String argumentOr(const std::vector<std::string>& arguments, std::size_t index) {
  return index < arguments.size() ? String(arguments[index]) : String();
}

// An object path or class name given on the command line; one that does not parse is a usage error.
CIMObjectPath pathArgument(const std::string& text) {
  try {
    return CIMObjectPath(String(text));
  } catch (const Exception& e) {
    throw UsageError(e.getMessage().str());
  }
}

CIMName nameArgument(const std::vector<std::string>& arguments, std::size_t index) {
  try {
    return CIMName(argumentOr(arguments, index));
  } catch (const Exception& e) {
    throw UsageError(e.getMessage().str());
  }
}

// The description of a CIM error without the code name a provider may already have put in front of it.
std::string describe(const CIMException& e) {
  const std::string name = cimStatusCodeToString(e.getCode()).str();
  const std::string message = e.getMessage().str();
  if (message.compare(0, name.size() + 2, name + ": ") == 0) return message.substr(name.size() + 2);
  return message;
}

// Instances, or objects that hold instances, each followed by an empty line.
template <class Item>
void printInstances(const Array<Item>& items) {
  for (const Item& item : items) {
    cimcli::printInstance(std::cout, CIMInstance(item));
    std::cout << "\n";
  }
}

struct Command {
  const char* name;
  std::size_t minArguments;
  std::size_t maxArguments;  // SIZE_MAX: any number
  std::function<void(CIMClient&, const CIMNamespaceName&, const std::vector<std::string>&)> run;
};

const std::vector<Command>& commands() {
  static const std::vector<Command> table = {
      {"ei", 1, 1,
       [](CIMClient& client, const CIMNamespaceName& ns, const std::vector<std::string>& args) {
         printInstances(client.enumerateInstances(ns, nameArgument(args, 0), true, false));
       }},
      {"ein", 1, 1,
       [](CIMClient& client, const CIMNamespaceName& ns, const std::vector<std::string>& args) {
         cimcli::printPaths(std::cout, client.enumerateInstanceNames(ns, nameArgument(args, 0)));
       }},
      {"gi", 1, 1,
       [](CIMClient& client, const CIMNamespaceName& ns, const std::vector<std::string>& args) {
         const CIMObjectPath path = pathArgument(args[0]);
         CIMInstance instance = client.getInstance(ns, path, false);
         instance.setPath(path);
         cimcli::printInstance(std::cout, instance);
       }},
      {"ain", 1, 5,
       [](CIMClient& client, const CIMNamespaceName& ns, const std::vector<std::string>& args) {
         cimcli::printPaths(
             std::cout, client.associatorNames(ns, pathArgument(args[0]), nameArgument(args, 1), nameArgument(args, 2),
                                               argumentOr(args, 3), argumentOr(args, 4)));
       }},
      {"ai", 1, 5,
       [](CIMClient& client, const CIMNamespaceName& ns, const std::vector<std::string>& args) {
         printInstances(client.associators(ns, pathArgument(args[0]), nameArgument(args, 1), nameArgument(args, 2),
                                           argumentOr(args, 3), argumentOr(args, 4)));
       }},
      {"ri", 1, 3,
       [](CIMClient& client, const CIMNamespaceName& ns, const std::vector<std::string>& args) {
         printInstances(client.references(ns, pathArgument(args[0]), nameArgument(args, 1), argumentOr(args, 2)));
       }},
      {"rin", 1, 3,
       [](CIMClient& client, const CIMNamespaceName& ns, const std::vector<std::string>& args) {
         cimcli::printPaths(
             std::cout, client.referenceNames(ns, pathArgument(args[0]), nameArgument(args, 1), argumentOr(args, 2)));
       }},
      {"cm", 2, SIZE_MAX,
       [](CIMClient& client, const CIMNamespaceName& ns, const std::vector<std::string>& args) {
         Array<CIMParamValue> in;
         for (std::size_t i = 2; i < args.size(); ++i) in.append(cimcli::parseParam(args[i]));
         Array<CIMParamValue> out;
         const CIMValue result = client.invokeMethod(ns, pathArgument(args[0]), nameArgument(args, 1), in, out);
         cimcli::printMethodResult(std::cout, result, out);
       }},
  };
  return table;
}

const Command& findCommand(const CliOptions& options) {
  for (const Command& command : commands()) {
    if (options.command != command.name) continue;
    if (options.arguments.size() < command.minArguments || options.arguments.size() > command.maxArguments)
      throw UsageError("wrong number of arguments for " + options.command);
    return command;
  }
  throw UsageError("unknown command " + options.command);
}

}  // namespace

int main(int argc, char** argv) {
  CliOptions options;
  const Command* command = nullptr;
  try {
    options = cimcli::parseCommandLine(argc, argv);
    if (options.help) {
      std::cout << cimcli::usageText();
      return 0;
    }
    command = &findCommand(options);
  } catch (const UsageError& e) {
    if (*e.what()) std::cerr << "cimcli: " << e.what() << "\n";
    std::cerr << cimcli::usageText();
    return 2;
  }
  try {
    CIMClient client;
    connect(client, options);
    command->run(client, CIMNamespaceName(String(options.nameSpace)), options.arguments);
    client.disconnect();
    return 0;
  } catch (const UsageError& e) {
    std::cerr << "cimcli: " << e.what() << "\n";
    return 2;
  } catch (const CIMException& e) {
    std::cerr << "cimcli: CIM error " << static_cast<int>(e.getCode()) << " (" << cimStatusCodeToString(e.getCode())
              << "): " << describe(e) << "\n";
    return 1;
  } catch (const Exception& e) {
    std::cerr << "cimcli: " << faultTextWithHttpsHint(e.getMessage().str(), options.https) << "\n";
    return 1;
  } catch (const std::exception& e) {
    std::cerr << "cimcli: " << e.what() << "\n";
    return 1;
  }
}
