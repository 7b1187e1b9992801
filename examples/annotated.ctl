# Annotated control file: every section orograd reads, in the order it runs them,
# each line explained. It runs on the bundled Olinda DEM like example.ctl:
#     cd examples && mkdir -p output && orograd annotated.ctl
#
# Rules (see "The control file" in README.md):
# - "#" starts a comment; a line that starts with "#" is empty for the sections.
# - Each value is the first word of its line. Lines are taken in order, with no
#   regard to where a section ends: a forgotten line makes every later value of
#   the section shift by one (the next section's header is then read as a value).
# - Switch 0 turns a section off; its remaining lines are then not read.
# - File names are relative to the folder orograd runs in; output folders must
#   exist (here: output/).
# - "$set $name = value" defines a symbol; "//" joins it to the text after it.
$set $out = output/

[Hoehenmodell]                 # elevation model, optional (without it nothing can be computed)
1                              # switch: 1 read the DEM, 0 no DEM
olinda_dem_90m.asc             # DEM file; sets the geometry of the whole run

[Aspect]                       # mandatory
1                              # switch (needed by [SnowRedistribution], [Horizont], [WindCorrectionFactor])
$out//aspect.asc               # degrees clockwise from north, downhill direction; flat = 0

[Gefaelle]                     # slope, mandatory
1                              # switch (needed by [Horizont], [WindCorrectionFactor])
$out//slope.asc                # degrees

[Profilcurvature]              # mandatory
1                              # switch
$out//profile_curvature.asc    # 1/m (1 / cell-size unit)

[Plancurvature]                # mandatory
1                              # switch
$out//plan_curvature.asc       # 1/m

[Curvature]                    # mandatory
1                              # switch
$out//curvature.asc            # 1/m, pits positive

[Horizont]                     # mandatory when aspect and slope are both on
1                              # switch
$out//horizon.asc              # mean of 1 - sin(horizon angle) over all azimuths: 1 open, less when sheltered
36                             # number of azimuths over the full circle (10-degree steps)

[WindCorrectionFactor]         # mandatory when aspect and slope are both on
1                              # switch
$out//wind_sector.asc          # the same horizon value over the sector; the factor goes to wind_sector.asc_2
9                              # number of azimuths in the sector
180                            # minimum azimuth, degrees clockwise from north
270                            # maximum azimuth, degrees (above the minimum, at most 360)
1.0                            # c1: weight of the sheltering term
50.0                           # c2: offset added to the relative elevation (m)
1.0                            # c3: constant added to the factor
2000                           # maximum search distance (m, the unit of the cell size)

[Flowdirection]                # needs the DEM
1                              # switch: 1 eight neighbours, any other non-zero value four
$out//flowdirection.asc        # direction codes 1 ... 128
$out//sinks.asc                # labels of the flat regions of the last sink run, -9999 elsewhere
$out//filled_dem.asc           # the DEM rounded to 0.001 and filled (m); stays in memory as the DEM

[SnowRedistribution]           # needs the DEM and the aspect
1                              # switch
$out//snow_north.asc           # share of a cell's snow passed to its northern neighbour (0 to 1)
$out//snow_west.asc            # share passed west
$out//snow_east.asc            # share passed east
$out//snow_south.asc           # share passed south
$out//snow_order_column.asc    # column of the k-th lowest cell, stored in the k-th valid cell
$out//snow_order_row.asc       # row of the k-th lowest cell

[Flowaccumulation]
1                              # switch
$out//flowaccumulation.asc     # number of cells draining through each cell, itself included
$out//flowdirection.asc        # directions: taken from memory, the output of [Flowdirection]
1000                           # threshold (cells): changes only the amount of work, not the result

[Flussnetz]                    # river network
1                              # switch
$out//rivers.asc               # 1 on river cells, -9999 elsewhere
$out//flowaccumulation.asc     # accumulation: from memory, as [Flowaccumulation] ran
50                             # threshold (cells): a river cell drains more cells than this

[Flussordnungen]               # stream orders and links
1                              # switch
$out//stream_order.asc         # Strahler order of each river cell
$out//river_links.asc          # link number (1, 2, ...) of each river cell
$out//rivers.asc               # river network: from memory
$out//flowdirection.asc        # directions: from memory, redirected around confluences

[Fliesskorrektur]              # correction of flow directions along rivers
1                              # switch
$out//corrected_stream_order.asc
$out//corrected_river_links.asc
$out//corrected_flowdirection.asc
$out//corrected_flowaccumulation.asc
50                             # threshold (cells) of the recomputed network; only a "#" comment may follow it
olinda_dem_90m.asc             # elevation: from memory (the filled DEM, still known under this name)
$out//stream_order.asc         # stream orders: from memory
$out//flowdirection.asc        # directions: from memory
$out//flowaccumulation.asc     # accumulation: from memory
$out//rivers.asc               # river network: from memory
2                              # number of correction runs; one stream order per line follows
1                              # run 1 corrects rivers of order 1
2                              # run 2 corrects rivers of order 2

[Flusseparation]               # river separation by order
1                              # switch
$out//rivers_from_order_       # base name: writes rivers_from_order_01 ... _04
1                              # lowest order
4                              # highest order
$out//stream_order.asc         # stream orders: from memory, as [Fliesskorrektur] left them
$out//river_links.asc          # links: from memory, as [Fliesskorrektur] numbered them
$out//flowdirection.asc        # directions: from memory, the corrected ones

[Fliesszeiten]                 # travel times
1                              # switch
$out//travel_time.asc          # seconds to cross each cell
$out//water_depth.asc          # m, on river cells
$out//channel_width.asc        # m, on river cells
30                             # Strickler coefficient (m^(1/3)/s)
20                             # specific discharge (l/s per km2)
olinda_dem_90m.asc             # elevation: read again (released after [Fliesskorrektur])
$out//slope.asc                # slope in degrees: read from the file [Gefaelle] wrote
$out//corrected_flowdirection.asc     # directions: from memory
$out//corrected_flowaccumulation.asc  # accumulation: read again (released after [Fliesskorrektur])
$out//corrected_river_links.asc       # links: read again (released by [Flusseparation]); any grid whose river cells are 0 or more and numbered up to the link count

[Einzugsgebiete]               # subbasins and routing structure
1                              # mode: 0 off; 1 discharge from the accumulation at the subbasin's outlet;
                               # 2 from the accumulation where it enters the subbasin below, inflows at one cell merged
30                             # Strickler coefficient (m^(1/3)/s)
20                             # specific discharge (l/s per km2)
olinda_dem_90m.asc             # elevation: read again (released after [Fliesszeiten])
$out//corrected_flowaccumulation.asc  # accumulation: read again
$out//corrected_flowdirection.asc     # directions: from memory
$out//travel_time.asc          # travel times: from memory, the output of [Fliesszeiten]
1                              # number of pour point sets; five lines per set follow
olinda_pour_points.asc         # pour point grid: codes 1 to 500000, -9999 elsewhere
$out//subbasins.asc            # subbasin code of each cell
$out//subbasin_flow_times.asc  # seconds from each cell to its subbasin's outlet
$out//routing_reaches.asc      # code of the subbasin whose outflow runs through the cell
$out//structure.txt            # routing structure file (text)
