// Creating and destroying the flat state level's containers and iterators,
// and pointing a PV container. The traversal steps are inline in the header.
#include "statespace/FlatStateLevel.h"

void FlatStateLevel::allocateAllEdgesContainer(EdgeBaseContainer*& c) { c = new allEdges; }
void FlatStateLevel::deallocateAllEdgesContainer(EdgeBaseContainer* c) { delete c; }
void FlatStateLevel::allocateAllEdgesIterator(EdgeBaseIterator*& it) { it = new allEdgesIterator; }
void FlatStateLevel::deallocateAllEdgesIterator(EdgeBaseIterator* it) { delete it; }

void FlatStateLevel::allocateRowContainer(EdgeBaseContainer*& c) { c = new row; }
void FlatStateLevel::deallocateRowContainer(EdgeBaseContainer* c) { delete c; }
void FlatStateLevel::allocateRowIterator(EdgeBaseIterator*& it) { it = new rowIterator; }
void FlatStateLevel::deallocateRowIterator(EdgeBaseIterator* it) { delete it; }

void FlatStateLevel::allocateColumnContainer(EdgeBaseContainer*& c) { c = new column; }
void FlatStateLevel::deallocateColumnContainer(EdgeBaseContainer* c) { delete c; }
void FlatStateLevel::allocateColumnIterator(EdgeBaseIterator*& it) { it = new columnIterator; }
void FlatStateLevel::deallocateColumnIterator(EdgeBaseIterator* it) { delete it; }

void FlatStateLevel::getPV(PVBaseContainer* c, int pv) {
  PV* container = static_cast<PV*>(c);
  container->level = this;
  container->pv = pv;
  container->values = pv_values[pv].get();
}
void FlatStateLevel::allocatePVContainer(PVBaseContainer*& c) { c = new PV; }
void FlatStateLevel::deallocatePVContainer(PVBaseContainer* c) { delete c; }
void FlatStateLevel::allocatePVIterator(PVBaseIterator*& it) { it = new PVIterator; }
void FlatStateLevel::deallocatePVIterator(PVBaseIterator* it) { delete it; }
