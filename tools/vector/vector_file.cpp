// Vector files through OGR. GDAL's own error printing is silenced while a file is
// written; its last message becomes the reason given on standard error.
#include "vector/vector_file.hpp"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>

#include <cpl_error.h>
#include <ogr_spatialref.h>

#include "base/fatal.hpp"

namespace orograd::vector {

namespace {

namespace fs = std::filesystem;

std::string lower_case(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

const char* driver_name(VectorFormat format) {
  switch (format) {
    case VectorFormat::geopackage: return "GPKG";
    case VectorFormat::shapefile: return "ESRI Shapefile";
    case VectorFormat::geojson: return "GeoJSON";
  }
  return "";
}

std::string gdal_message() {
  const char* message = CPLGetLastErrorMsg();
  return message != nullptr && *message != '\0' ? message : "GDAL gives no reason";
}

// The name without its ending: the stem a Shapefile's components share.
std::string stem_of(const std::string& name) {
  return name.substr(0, name.size() - fs::path(name).extension().string().size());
}

// The endings of the files a Shapefile may consist of; an output's former files with
// these endings are replaced or removed, never others of the same stem.
constexpr const char* kShapefileEndings[] = {"shp", "shx", "dbf", "prj", "cpg", "qix", "sbn", "sbx", "shp.xml"};

// The files named stem + "." + ending, with their endings in lower case.
std::vector<std::pair<std::string, std::string>> components(const std::string& stem) {
  std::vector<std::pair<std::string, std::string>> found;
  const fs::path path(stem);
  const std::string prefix = path.filename().string() + ".";
  const fs::path folder = path.parent_path();
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder.empty() ? "." : folder, error)) {
    const std::string name = entry.path().filename().string();
    if (name.size() > prefix.size() && name.starts_with(prefix))
      found.emplace_back((folder / name).string(), lower_case(name.substr(prefix.size())));
  }
  return found;
}

// The reference system for the layer; null, with a warning, when the file cannot
// carry it.
std::unique_ptr<OGRSpatialReference> reference_system(Console& console, const std::string& file_name,
                                                      VectorFormat format, const std::string& text) {
  if (text.empty()) return nullptr;
  auto srs = std::make_unique<OGRSpatialReference>();
  if (srs->SetFromUserInput(text.c_str()) != OGRERR_NONE) {
    console.warn("%s is written without a coordinate reference system: GDAL cannot interpret the grid's",
                 file_name.c_str());
    return nullptr;
  }
  srs->SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  // GeoJSON names a system only by its EPSG code; a .prj file's text often has none
  // but matches one.
  if (format == VectorFormat::geojson && srs->GetAuthorityCode(nullptr) == nullptr) {
    OGRSpatialReference* match = srs->FindBestMatch();
    if (match == nullptr || match->GetAuthorityCode(nullptr) == nullptr) {
      if (match != nullptr) match->Release();
      console.warn("%s is written without a coordinate reference system: GeoJSON names only EPSG systems, and "
                   "the grid's matches none (readers will take the coordinates as WGS 84 longitudes and latitudes)",
                   file_name.c_str());
      return nullptr;
    }
    srs.reset(match->Clone());
    match->Release();
    srs->SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  }
  return srs;
}

}  // namespace

std::optional<VectorFormat> vector_format(const std::string& file_name) {
  const std::string ending = lower_case(fs::path(file_name).extension().string());
  if (ending == ".gpkg") return VectorFormat::geopackage;
  if (ending == ".shp") return VectorFormat::shapefile;
  if (ending == ".geojson" || ending == ".json") return VectorFormat::geojson;
  return std::nullopt;
}

VectorFile::VectorFile(Console& console, const std::string& file_name, VectorFormat file_format, const char* layer_name,
                       OGRwkbGeometryType geometry, const std::vector<VectorField>& fields,
                       const std::string& coordinate_system)
    : console_(console),
      file_name_(file_name),
      format_(file_format),
      reserved_(file_name, fs::path(file_name).extension().string()) {
  const char* name = file_name.c_str();
  // A device or a pipe is written directly by AtomicFile; OGR cannot write one.
  const int error = !reserved_.opened() ? reserved_.error() : reserved_.path() == file_name ? EINVAL : 0;
  if (error != 0) fatal(4, format("error opening %s \n", name), file_failure("write", file_name, error));
  // The drivers refuse to create over an existing file: the reserved name is handed
  // to GDAL empty-handed.
  reserved_.close_stream();
  unlink(reserved_.path().c_str());
  GDALAllRegister();
  CPLPushErrorHandler(CPLQuietErrorHandler);
  try {
    create(layer_name, geometry, fields, coordinate_system);
  } catch (const FatalError&) {
    release();
    throw;
  }
}

void VectorFile::create(const char* layer_name, OGRwkbGeometryType geometry, const std::vector<VectorField>& fields,
                        const std::string& coordinate_system) {
  const char* name = file_name_.c_str();
  const std::unique_ptr<OGRSpatialReference> srs = reference_system(console_, file_name_, format_, coordinate_system);
  CPLErrorReset();
  GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(driver_name(format_));
  dataset_ = driver == nullptr ? nullptr : driver->Create(reserved_.path().c_str(), 0, 0, 0, GDT_Unknown, nullptr);
  if (dataset_ != nullptr) layer_ = dataset_->CreateLayer(layer_name, srs.get(), geometry, nullptr);
  bool created = layer_ != nullptr;
  for (const VectorField& wanted : fields) {
    OGRFieldDefn field(wanted.name, wanted.type);
    created = created && layer_->CreateField(&field) == OGRERR_NONE;
  }
  if (!created) {
    console_.warn("cannot create %s: %s", name, gdal_message().c_str());
    fatal(4, format("error opening %s \n", name));
  }
  // One transaction for all features: a GeoPackage commits once instead of per feature.
  // Formats without transactions refuse, which is no failure of the file.
  in_transaction_ = dataset_->StartTransaction() == OGRERR_NONE;
  CPLErrorReset();
}

VectorFile::~VectorFile() { release(); }

void VectorFile::release() {
  if (dataset_ != nullptr) GDALClose(dataset_);
  dataset_ = nullptr;
  if (!committed_)
    for (const auto& [path, ending] : components(stem_of(reserved_.path()))) unlink(path.c_str());
  CPLPopErrorHandler();
}

OGRFeatureUniquePtr VectorFile::feature() const { return OGRFeatureUniquePtr(OGRFeature::CreateFeature(layer_->GetLayerDefn())); }

void VectorFile::add(OGRFeature& feature) {
  if (layer_->CreateFeature(&feature) == OGRERR_NONE) return;
  console_.warn("cannot write %s: %s", file_name_.c_str(), gdal_message().c_str());
  fatal(10, format("error writing in %s\n", file_name_.c_str()));
}

void VectorFile::commit() {
  const char* name = file_name_.c_str();
  bool failed = in_transaction_ && dataset_->CommitTransaction() != OGRERR_NONE;
  // Closing writes what GDAL still holds: a failure there is a write failure too.
  GDALClose(dataset_);
  dataset_ = nullptr;
  failed = failed || CPLGetLastErrorType() >= CE_Failure;
  if (failed) {
    console_.warn("cannot write %s: %s", name, gdal_message().c_str());
    fatal(10, format("error writing in %s\n", name));
  }
  if (format_ == VectorFormat::shapefile) commit_components();
  if (const int error = reserved_.commit())
    fatal(10, format("error writing in %s\n", name), file_failure("write", file_name_, error));
  committed_ = true;
}

void VectorFile::commit_components() {
  const std::string stem = stem_of(file_name_);
  std::vector<std::string> written;
  for (const auto& [path, ending] : components(stem_of(reserved_.path()))) {
    written.push_back(ending);
    if (path == reserved_.path()) continue;
    if (std::rename(path.c_str(), (stem + fs::path(path).extension().string()).c_str()) != 0)
      fatal(10, format("error writing in %s\n", file_name_.c_str()), file_failure("write", file_name_, errno));
  }
  const auto listed = [](const auto& endings, const std::string& ending) {
    return std::find(std::begin(endings), std::end(endings), ending) != std::end(endings);
  };
  for (const auto& [path, ending] : components(stem))
    if (listed(kShapefileEndings, ending) && !listed(written, ending)) unlink(path.c_str());
}

}  // namespace orograd::vector
