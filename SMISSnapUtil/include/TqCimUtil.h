// The CIM lookup toolbox of the SMI-S layer: finds an array's systems, services, pools, volumes, protocol
// controllers (views) and synchronization associations by class, property, key and association; reads and
// updates properties; lists the methods of a CIM class; converts method results and parameters.
//
// Every lookup works over a connection its caller has connected and keeps nothing between calls, except
// the process-wide volume-instance and IBM SVC hardware-ID caches (off unless configured). Each lookup either traces a
// caught exception and throws it on, or traces it and returns its failure value; the comment of each member says which.
#pragma once

#include <functional>
#include <list>
#include <map>
#include <string>
#include <vector>

#include "Pegasus/Array.h"
#include "Pegasus/CIMClass.h"
#include "Pegasus/CIMInstance.h"
#include "Pegasus/CIMObjectPath.h"
#include "Pegasus/CIMParamValue.h"
#include "Pegasus/CIMType.h"
#include "Pegasus/CIMValue.h"
#include "Pegasus/String.h"
#include "TqCriticalSection.h"
#include "TqSmisTracer.h"

class TqCimConnection;

// One row of an error-text table; a table ends at the first row whose code is 0. A text beginning with
// '*' holds per-method texts: "*Method1 text1,Method2 text2".
struct SmisErrorText_t {
  int code;
  const char* text;
};

// One parameter of a CIM method.
struct MethodParam_t {
  std::string name;
  std::string type;  // CIM type name, such as "uint16" or "reference"
  bool isArray = false;
  std::string refClass;  // "(" + referenced class + ")" for a reference parameter, else empty
};

// One method of a CIM class with its parameters in the class's order.
struct Method_t {
  std::string name;
  std::vector<MethodParam_t> params;
};

class TqCimUtil : public TqSmisTracer {
 public:
  TqCimUtil();

  // Guards the process-wide volume-instance and IBM SVC hardware-ID caches.
  static TqCriticalSection m_CimUtilLock;

  // Attaches a read-only error-text table (not owned); null detaches it.
  void SetErrorTextTable(const SmisErrorText_t* table) { m_ErrorTexts = table; }

  // ---- Conversions (no handlers: library exceptions reach the caller) ----------------------------
  // The path held by the first reference-typed output parameter named exactly "TargetElement" or
  // "TheElement" that holds a value; an empty path when none.
  Pegasus::CIMObjectPath GetTargetElementHandle(Pegasus::Array<Pegasus::CIMParamValue>& outParams);
  std::string GetObjectPathString(Pegasus::CIMObjectPath path);
  // uint32 as is, sint32 bits as is, a string holding a number; 99999 for any other type and for a
  // string that does not begin with a number.
  unsigned int GetRetVal(Pegasus::CIMValue value);
  Pegasus::CIMValue MakeCimNullVal(Pegasus::CIMType type, bool isArray);
  // Traces each parameter; errorLevel selects the error level, else the normal level.
  void PrintParamSet(Pegasus::Array<Pegasus::CIMParamValue>& params, bool errorLevel);
  // The text of a provider error code for a method; "Error code not found!" without a table or a row.
  std::string GetErrorMessage(unsigned int code, std::string method);
  // The non-empty pieces between delimiters, untrimmed.
  std::vector<std::string> Tokenize(std::string text, char delimiter);
  std::vector<std::string> StringToVector(std::string text, char delimiter);
  Pegasus::Array<Pegasus::String> StrVectorToStrArray(std::vector<std::string> items);
  Pegasus::Array<Pegasus::String> StrListToStrArray(std::list<std::string> items);
  Pegasus::Array<Pegasus::String> InputToStringArray(std::string text, char delimiter);
  // Each piece through atoi, narrowed to 16 bits.
  Pegasus::Array<unsigned short> InputToIntArray(std::string text, char delimiter);

  // ---- Methods of a CIM class ---------------------------------------------------------------------
  // Appends one entry per method. Traces and rethrows CIM and library exceptions.
  void GetMethods(Pegasus::CIMClass& cimClass, std::vector<Method_t>& methods);
  // First exact (case-sensitive) name match; an empty record when none.
  Method_t FindMethodInList(std::string name, std::vector<Method_t>& methods);
  MethodParam_t FindParamInMethod(std::string name, Method_t& method);

  // ---- Pools (failure: "") ------------------------------------------------------------------------
  std::string GetDGByName(TqCimConnection& conn, std::string arrayName, std::string poolName);
  std::string GetEternusTPPByName(TqCimConnection& conn, std::string poolName);

  // ---- Object paths by property (trace and rethrow) ------------------------------------------------
  // The first instance of the class whose property equals the value ignoring case, on any array.
  Pegasus::CIMObjectPath GetObjPathByPropName(TqCimConnection& conn, Pegasus::String& className,
                                              Pegasus::String propName, Pegasus::String value);
  // The same on the named array; with exact false a property that contains the value also matches.
  Pegasus::CIMObjectPath GetObjPathByPropName(TqCimConnection& conn, std::string arrayName, Pegasus::String className,
                                              Pegasus::String propName, Pegasus::String value, bool exact);
  // The array form with exact true; no handlers of its own.
  Pegasus::CIMObjectPath GetObjPathByPropNamev2(TqCimConnection& conn, std::string arrayName, Pegasus::String className,
                                                Pegasus::String propName, Pegasus::String value);
  // Every instance on the array whose property equals one of the values (case counts).
  Pegasus::Array<Pegasus::CIMObjectPath> GetObjPathListByPropNameList(TqCimConnection& conn, Pegasus::String className,
                                                                      Pegasus::String propName,
                                                                      Pegasus::Array<Pegasus::String>& values,
                                                                      std::string arrayName);
  Pegasus::Array<Pegasus::CIMObjectPath> GetObjPathListByPropNameList(TqCimConnection& conn, Pegasus::String className,
                                                                      Pegasus::String propName,
                                                                      std::vector<std::string>& values,
                                                                      std::string arrayName);
  // The first instance name whose key equals the value (the first of all when the value is empty); a
  // not-found answer gives an empty path.
  Pegasus::CIMObjectPath GetObjPathByProp(TqCimConnection& conn, Pegasus::String className, Pegasus::String keyName,
                                          std::string value, std::string arrayName);

  // ---- Associations, system-scoped objects and services (trace and rethrow) -----------------------
  Pegasus::CIMObjectPath GetObjPathByAssnProp(TqCimConnection& conn, Pegasus::CIMObjectPath& objectPath,
                                              Pegasus::String resultClass, Pegasus::String assocClass,
                                              Pegasus::String keyName, std::string value);
  Pegasus::Array<Pegasus::CIMObjectPath> GetSystemObjPathListByPropList(TqCimConnection& conn,
                                                                        Pegasus::String className, std::string keyName,
                                                                        std::vector<std::string> values,
                                                                        std::string arrayName);
  Pegasus::CIMObjectPath GetSystemObjPathByProp(TqCimConnection& conn, Pegasus::String className, std::string arrayName,
                                                Pegasus::String keyName, std::string value);
  Pegasus::CIMObjectPath GetSystemServiceObject(TqCimConnection& conn, Pegasus::CIMObjectPath& systemPath,
                                                Pegasus::String serviceClass);
  Pegasus::CIMObjectPath GetCtlrservicePath(TqCimConnection& conn, Pegasus::CIMObjectPath& systemPath);
  Pegasus::CIMObjectPath GetHardwareIdCollectionPath(TqCimConnection& conn, std::string collectionName);

  // ---- Systems ------------------------------------------------------------------------------------
  // The array's CIM_ComputerSystem instance name (trace and rethrow); empty when none matches.
  Pegasus::CIMObjectPath GetSystemObjPathByNameProp(TqCimConnection& conn, std::string arrayName);
  // The same as text; "" when not found or after a failure.
  std::string GetSystemObjPathString(TqCimConnection& conn, std::string arrayName);
  // True with the first instance of the class on the array in `path`; no handlers.
  bool ValidateSystemName(TqCimConnection& conn, std::string arrayName, Pegasus::String className,
                          Pegasus::CIMObjectPath& path);
  // The text of an association instance path with two reference keys, built without asking the CIMOM.
  std::string MakeAssnPath(Pegasus::String host, Pegasus::String nameSpace, Pegasus::String className,
                           Pegasus::String role1, Pegasus::String reference1, Pegasus::String role2,
                           Pegasus::String reference2);
  std::string GetVendorByName(TqCimConnection& conn, std::string arrayName);
  std::string GetVendorNamespaceByName(TqCimConnection& conn, std::string arrayName);

  // ---- Properties ---------------------------------------------------------------------------------
  // Values leave as text; an absent key or property reads as "".
  std::string GetPropByObjPath(Pegasus::CIMObjectPath& path, Pegasus::String keyName);
  std::string GetCIMProp(Pegasus::CIMInstance& instance, Pegasus::String propName);
  std::string GetCIMProp(TqCimConnection& conn, std::string& pathText, Pegasus::String propName);
  std::string GetCIMProp(TqCimConnection& conn, Pegasus::CIMObjectPath& path, Pegasus::String propName);
  // Sets `found` to true when the property exists; leaves it untouched otherwise.
  std::string GetInstanceProp(TqCimConnection& conn, Pegasus::CIMInstance& instance, Pegasus::String propName,
                              bool& found);
  // Fills every key of the map the instance has; true when all were found.
  bool GetCIMPropList(TqCimConnection& conn, const std::string& pathText, std::map<std::string, std::string>& props);
  bool GetCIMPropList(TqCimConnection& conn, Pegasus::CIMObjectPath& path, std::map<std::string, std::string>& props);
  // Changes one string, uint8 or uint16 property on the CIMOM; true when accepted.
  bool UpdateInstanceProp(TqCimConnection& conn, std::string pathText, std::string propName, std::string value);

  // ---- Volumes ------------------------------------------------------------------------------------
  // The path text of the volume whose "Name" is the identifier on the array (any array when the name is
  // empty); "" when none or after a failure. Uses the shared cache when configured.
  std::string GetVolObjPathByUUID(TqCimConnection& conn, Pegasus::String uuid, Pegasus::String arrayName);
  // 1 the volume exists (and carries uuid when given), 0 gone or on another array, -1 undetermined.
  int CheckInstanceExistence(TqCimConnection& conn, std::string& arrayName, std::string& volume, std::string uuid);
  // Fills `path` from an object-path text or an identifier ("DeviceID" for vendor 7, else "Name").
  bool GetVolumeObjectPath(TqCimConnection& conn, const std::string& arrayName, const std::string& volume,
                           Pegasus::CIMObjectPath& path, unsigned int vendorId);

  // ---- IBM SVC volumes and nodes (failure: "" or 0) -------------------------------------------------
  // The path text of the volume of that identifier, built from its concise volume and checked; "" when none.
  std::string GetIBMSVCVolObjPathByUUID(TqCimConnection& conn, std::string uuid, std::string arrayName);
  // 1 with the path text of the node of that number in `nodePath`; 0, leaving `nodePath`, when none.
  int GetPreferredNodeForIBMSVC(TqCimConnection& conn, const std::string& nodeId, std::string& nodePath);

  // ---- Protocol controllers (views); all trace and rethrow -----------------------------------------
  Pegasus::Array<Pegasus::CIMObjectPath> GetVolCtlrPaths(TqCimConnection& conn, Pegasus::CIMObjectPath& volumePath);
  // Views reached from initiator ports.
  Pegasus::Array<Pegasus::CIMObjectPath> Get3PARCtlrListByHwIDs(TqCimConnection& conn,
                                                                Pegasus::CIMObjectPath& systemPath,
                                                                Pegasus::Array<Pegasus::String>& ports);
  Pegasus::Array<Pegasus::CIMObjectPath> GetEternusCtlrListByHwIDs(TqCimConnection& conn,
                                                                   Pegasus::CIMObjectPath& systemPath,
                                                                   Pegasus::Array<Pegasus::String>& ports);
  Pegasus::Array<Pegasus::CIMObjectPath> GetEMCVMAXCtlrListByHwIDs(TqCimConnection& conn,
                                                                   Pegasus::CIMObjectPath& systemPath,
                                                                   Pegasus::Array<Pegasus::String>& ports);
  // Runs under m_CimUtilLock with the shared hardware-ID cache (when configured); empties it on a fault.
  Pegasus::Array<Pegasus::CIMObjectPath> GetIBMSVCCtlrListByHwIDs(TqCimConnection& conn,
                                                                  Pegasus::CIMObjectPath& systemPath,
                                                                  Pegasus::Array<Pegasus::String>& ports);
  // HP EVA views whose port identifiers ("WWNs" or "iqn") hold a port; none on another family's array.
  Pegasus::Array<Pegasus::CIMObjectPath> GetHPCtlrListByHwIDs(TqCimConnection& conn, Pegasus::CIMObjectPath& systemPath,
                                                              Pegasus::Array<Pegasus::String>& ports);
  // LSI-family (LSI, DCIM, NetApp) views of the ports' hosts and, with clusterMapping, of their host groups.
  Pegasus::Array<Pegasus::CIMObjectPath> GetLSICtlrListByHwIDs(TqCimConnection& conn,
                                                               Pegasus::CIMObjectPath& systemPath,
                                                               Pegasus::Array<Pegasus::String>& ports,
                                                               bool clusterMapping);
  // The "StorageID" of every initiator port of the host the first port belongs to.
  Pegasus::Array<Pegasus::String> GetLSIHwIDs(TqCimConnection& conn, Pegasus::CIMObjectPath& systemPath,
                                              Pegasus::Array<Pegasus::String>& ports);
  // Views of the volumes that are also views of the ports.
  Pegasus::Array<Pegasus::CIMObjectPath> Get3PARCtlrListByHwIDs(TqCimConnection& conn,
                                                                Pegasus::CIMObjectPath& systemPath,
                                                                Pegasus::Array<Pegasus::CIMObjectPath>& volumes,
                                                                Pegasus::Array<Pegasus::String>& ports);
  Pegasus::Array<Pegasus::CIMObjectPath> GetEternusCtlrListByHwIDs(TqCimConnection& conn,
                                                                   Pegasus::CIMObjectPath& systemPath,
                                                                   Pegasus::Array<Pegasus::CIMObjectPath>& volumes,
                                                                   Pegasus::Array<Pegasus::String>& ports);
  Pegasus::Array<Pegasus::CIMObjectPath> GetEMCVMAXCtlrListByHwIDs(TqCimConnection& conn,
                                                                   Pegasus::CIMObjectPath& systemPath,
                                                                   Pegasus::Array<Pegasus::CIMObjectPath>& volumes,
                                                                   Pegasus::Array<Pegasus::String>& ports);
  Pegasus::Array<Pegasus::CIMObjectPath> GetIBMSVCCtlrListByHwIDs(TqCimConnection& conn,
                                                                  Pegasus::CIMObjectPath& systemPath,
                                                                  Pegasus::Array<Pegasus::CIMObjectPath>& volumes,
                                                                  Pegasus::Array<Pegasus::String>& ports);
  Pegasus::Array<Pegasus::CIMObjectPath> GetHPCtlrListByHwIDs(TqCimConnection& conn, Pegasus::CIMObjectPath& systemPath,
                                                              Pegasus::Array<Pegasus::CIMObjectPath>& volumes,
                                                              Pegasus::Array<Pegasus::String>& ports);
  Pegasus::Array<Pegasus::CIMObjectPath> GetLSICtlrListByHwIDs(TqCimConnection& conn,
                                                               Pegasus::CIMObjectPath& systemPath,
                                                               Pegasus::Array<Pegasus::CIMObjectPath>& volumes,
                                                               Pegasus::Array<Pegasus::String>& ports);
  // Views of the volumes, narrowed to the ports' views of the array's family when ports are given.
  Pegasus::Array<Pegasus::CIMObjectPath> GetctlrPathListByAssn(TqCimConnection& conn, Pegasus::CIMObjectPath systemPath,
                                                               Pegasus::Array<Pegasus::CIMObjectPath>& volumes,
                                                               Pegasus::Array<Pegasus::String>& ports);
  // The same from volume texts (object paths or volume "Name"s).
  Pegasus::Array<Pegasus::CIMObjectPath> GetCtlrPathList(TqCimConnection& conn, Pegasus::CIMObjectPath systemPath,
                                                         Pegasus::Array<Pegasus::String>& volumeTexts,
                                                         Pegasus::Array<Pegasus::String> ports);

  // ---- Synchronization paths (failure: empty path or -1) ------------------------------------------
  // The sync path of a source and target; built locally for 3PAR, IBM SVC and most LSI-family pairs.
  Pegasus::CIMObjectPath GetSyncPath(TqCimConnection& conn, Pegasus::String nameSpace, std::string arrayName,
                                     Pegasus::CIMObjectPath source, Pegasus::CIMObjectPath target);
  int GetSyncPathFromSourceBySyncType(TqCimConnection& conn, int copyType, std::string source, std::string& syncPath,
                                      std::string& target);
  int GetSyncPathFromSource(TqCimConnection& conn, std::string source, std::string& syncPath, std::string& target,
                            std::string& targetName);
  int GetDelSyncPathFromSource(TqCimConnection& conn, std::string source, std::string& syncPath, std::string& target,
                               std::string& targetName, std::string label);
  int GetAllSyncPathFromSource(TqCimConnection& conn, std::string source, std::string label,
                               std::map<std::string, std::string>& targets);
  // 0 found, 1 no association, -1 several, gone, another source, or a failure.
  int GetSyncPathFromTarget(TqCimConnection& conn, std::string target, std::string& syncPath, std::string& sourcePath,
                            std::string& sourceName);
  int GetSyncPathFromTargetAndSource(TqCimConnection& conn, const std::string& target, const std::string& source,
                                     std::string& syncPath);

 private:
  // The views of one volume through CIM_ProtocolControllerForUnit.
  Pegasus::Array<Pegasus::CIMObjectPath> VolumeViews(TqCimConnection& conn, Pegasus::CIMObjectPath& volumePath);
  // The volume-and-port intersection shared by the families whose port step gives views.
  typedef std::function<Pegasus::Array<Pegasus::CIMObjectPath>()> PortViewStep;
  Pegasus::Array<Pegasus::CIMObjectPath> IntersectVolumeAndPortViews(TqCimConnection& conn, const char* label,
                                                                     const PortViewStep& portStep,
                                                                     Pegasus::Array<Pegasus::CIMObjectPath>& volumes);
  // The views of ports for the 3PAR, ETERNUS and EMC families; each family adds its own per-port step.
  enum PortFamily { kPort3PAR, kPortEternus, kPortEMC };
  Pegasus::Array<Pegasus::CIMObjectPath> PortViews(TqCimConnection& conn, const char* label, PortFamily family,
                                                   Pegasus::CIMObjectPath& systemPath,
                                                   Pegasus::Array<Pegasus::String>& ports);
  void Add3PARPortViews(TqCimConnection& conn, const char* label, const Pegasus::String& port,
                        Pegasus::CIMObjectPath& hardwareId, Pegasus::Array<Pegasus::CIMObjectPath>& views);
  // Volume lookup by "Name" through the cache (cacheOn: the caller holds the cache lock) or a fetch of the
  // call's own.
  std::string FindVolumeByName(TqCimConnection& conn, const Pegasus::String& uuid, const Pegasus::String& arrayName,
                               bool cacheOn);

  const SmisErrorText_t* m_ErrorTexts;
};
